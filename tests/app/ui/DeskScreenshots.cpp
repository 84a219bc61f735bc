// Draws the desktop program's main windows with sample contents into PNG files, for the
// README: scripts/screenshots runs it under a virtual X server. Not a test and not installed.
#include "addressing/gui/RecipientsPanel.h"
#include "directories/gui/DeskPrompt.h"
#include "sending/ResultRow.h"
#include "sending/gui/SendResultsDialog.h"
#include "services/DeskServices.h"
#include "ui/ComposeWindow.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTest>

#include <cstdio>
#include <memory>

namespace {

bool save(QWidget& window, const QString& path)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    QTest::qWait(200);
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    auto prompt = std::make_shared<DeskPrompt>();
    DeskServices services(prompt, "Main");
    ComposeWindow window(services, *prompt);
    window.resize(560, 380);
    // Quiet checks, so that each entry shows the picture of what its check found.
    window.recipients().setFlags({.disableWarning = true});
    for (const char* entry : {"555-0100/1234", "pager.example.com!77", "555-0199", "Bobby Smith"})
        (void)window.recipients().add(entry, false);
    window.recipients().setMessage("Server room at 24 C and rising. Please call the desk.");
    window.panel()->refresh();
    bool ok = save(window, folder + QStringLiteral("/compose.png"));

    const std::vector<ResultRow> rows {
        {"555-0100/1234", ResultStatus::ResultSent, "Sent successfully", 0, 0},
        {"pager.example.com!77", ResultStatus::ResultRejected, "Rejected by the remote server", 0,
         0},
        {"Bobby Smith", ResultStatus::ResultNotDeliverable, "Entry not found", 0, std::nullopt}};
    SendResultsDialog results(rows);
    ok = save(results, folder + QStringLiteral("/results.png")) && ok;
    return ok ? 0 : 1;
}
