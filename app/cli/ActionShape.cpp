#include "cli/ActionShape.h"

#include "cli/CliOutput.h"

#include <algorithm>

std::optional<ExitCode> ActionShape::take(std::string_view command, std::vector<std::string>& args,
                                          std::span<const ActionShape> shapes,
                                          std::string_view usage, std::string& action)
{
    if (args.empty()) {
        return CliOutput::usageError(std::string(command) + " needs an action", usage);
    }
    action = args.front();
    args.erase(args.begin());
    const auto shape = std::find_if(shapes.begin(), shapes.end(),
                                    [&action](const ActionShape& s) { return action == s.name; });
    if (shape == shapes.end()) {
        return CliOutput::usageError("unknown action \"" + CliOutput::printable(action) + "\"",
                                     usage);
    }
    if (args.size() != shape->count) {
        return CliOutput::usageError(shape->usageText, usage);
    }
    return std::nullopt;
}
