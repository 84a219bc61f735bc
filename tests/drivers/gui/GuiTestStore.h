#pragma once

#include "log/LogFile.h"

#include <QTemporaryDir>

#include <optional>
#include <string>
#include <vector>

// A private settings store for a Qt test (NORVANE_REGISTRY points into a fresh folder for the
// object's life) whose shared log lies in the same folder and takes every level, and the
// log's lines read back.
class GuiTestStore
{
public:
    GuiTestStore();
    ~GuiTestStore();
    GuiTestStore(const GuiTestStore&) = delete;
    GuiTestStore& operator=(const GuiTestStore&) = delete;

    // Whether the folder could be made.
    bool isValid() const { return m_dir.isValid(); }
    // The store file's path.
    std::string registryPath() const;
    // Every line of the log, in file order.
    std::vector<LogEntry> entries() const;
    // The level of the first line with exactly this message and tag, or -1.
    int levelOf(const std::string& message, const std::string& tag = "kestrel") const;
    // Whether some line of the tag starts with the text.
    bool hasLineStarting(const std::string& text, const std::string& tag = "kestrel") const;

private:
    QTemporaryDir m_dir;
    std::optional<std::string> m_previous;
};
