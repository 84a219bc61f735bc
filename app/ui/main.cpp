#include "gui/MessageBox.h"
#include "shell/StartupOptions.h"
#include "ui/DeskApplication.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Whether a window can be opened at all: a display, or a platform named by the user.
bool haveDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char** argv)
{
    const StartupOptions options
        = StartupOptions::parse(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (options.action == StartupOptions::Action::PrintUsage) {
        std::fputs(StartupOptions::usage().c_str(), stdout);
        return 0;
    }
    if (options.action == StartupOptions::Action::PrintVersion) {
        std::printf("norvane %s\n", NORVANE_VERSION);
        return 0;
    }
    if (!haveDisplay()) {
        std::fputs("norvane: no display to open a window on (DISPLAY is not set); "
                   "norvane-cli sends pages from the command line (norvane-cli --help)\n",
                   stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Norvane Desk"));
    QApplication::setApplicationVersion(QStringLiteral(NORVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("norvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ui/norvane.svg")));
    // The program lives on in the taskbar while its window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    if (options.action == StartupOptions::Action::ShowHelpBox) {
        QString text = QString::fromLatin1(StartupOptions::helpText.data(),
                                           static_cast<qsizetype>(StartupOptions::helpText.size()));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        MessageBox::show(
            nullptr, QMessageBox::Information,
            QString::fromLatin1(StartupOptions::helpCaption.data(),
                                static_cast<qsizetype>(StartupOptions::helpCaption.size())),
            text.trimmed());
        return 0;
    }

    DeskApplication desk(options);
    if (!desk.start())
        return 0;
    return QApplication::exec();
}
