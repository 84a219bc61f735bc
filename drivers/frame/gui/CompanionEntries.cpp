#include "frame/gui/CompanionEntries.h"

#include "frame/CompanionViewModule.h"
#include "frame/gui/AboutDialog.h"
#include "frame/gui/ClipArt.h"
#include "gui/GuiThread.h"

namespace CompanionEntries {

int showDialog(int abiVersion, const std::function<DialogOutcome()>& show)
{
    if (abiVersion != CompanionViewModule::abiVersion || !GuiThread::available()) {
        return static_cast<int>(DialogOutcome::NotShown);
    }
    return GuiThread::call([&show] { return static_cast<int>(show()); });
}

DialogOutcome execModal(QDialog& dialog)
{
    dialog.setWindowModality(Qt::ApplicationModal);
    return dialog.exec() == QDialog::Accepted ? DialogOutcome::Accepted : DialogOutcome::Rejected;
}

int showAboutBox(int abiVersion, const AboutBoxRequest* setup)
{
    if (setup == nullptr) {
        return static_cast<int>(DialogOutcome::NotShown);
    }
    return showDialog(abiVersion, [setup] {
        const QString tag = QString::fromStdString(setup->tag);
        AboutDialog dialog(QString::fromLocal8Bit(setup->caption.c_str()),
                           ClipArt::controlIcon(ClipArt::themeOf(tag)),
                           QString::fromLocal8Bit(setup->text.c_str()),
                           GuiThread::ownerWidget(setup->parentWindow));
        return execModal(dialog);
    });
}

} // namespace CompanionEntries
