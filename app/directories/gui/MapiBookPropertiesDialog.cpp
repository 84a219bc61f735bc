#include "directories/gui/MapiBookPropertiesDialog.h"

#include "directories/AddressBookPropertiesForm.h"
#include "gui/DialogButtons.h"
#include "gui/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

MapiBookPropertiesDialog::MapiBookPropertiesDialog(AddressBookSelection& books, QWidget* parent)
    : QDialog(parent)
    , m_books(books)
    , m_prompt(new QCheckBox(QStringLiteral("Prompt user for profile on startup"), this))
    , m_profile(new QComboBox(this))
{
    setWindowTitle(QString::fromUtf8(AddressBookPropertiesForm::mapiCaption.data(),
                                     AddressBookPropertiesForm::mapiCaption.size()));
    const auto stored = AddressBookPropertiesForm::mapiSettings();
    const auto profiles = AddressBookPropertiesForm::profiles();
    m_prompt->setObjectName(QStringLiteral("promptBox"));
    m_prompt->setChecked(stored.promptLogin);
    m_profile->setObjectName(QStringLiteral("profileBox"));
    for (const std::string& profile : profiles) {
        m_profile->addItem(QString::fromStdString(profile));
    }
    m_profile->setCurrentIndex(
        AddressBookPropertiesForm::profileIndex(profiles, stored.profileName));
    m_profile->setEnabled(!stored.promptLogin);
    m_profile->setMinimumWidth(200);
    connect(m_prompt, &QCheckBox::toggled, this, [this](bool on) { m_profile->setEnabled(!on); });
    auto* label = new QLabel(QStringLiteral("Profile to use on &startup"), this);
    label->setBuddy(m_profile);

    auto* fields = new QVBoxLayout;
    fields->addWidget(m_prompt);
    fields->addWidget(label);
    fields->addWidget(m_profile);
    fields->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addWidget(DialogButtons::okCancel(this));
}

bool MapiBookPropertiesDialog::run(QWidget* parent, AddressBookSelection& books)
{
    MapiBookPropertiesDialog dialog(books, parent);
    return dialog.exec() == QDialog::Accepted;
}

void MapiBookPropertiesDialog::accept()
{
    std::string error;
    if (!AddressBookPropertiesForm::applyMapi(
            m_books, {m_prompt->isChecked(), m_profile->currentText().toStdString()}, error)) {
        MessageBox::show(this, QMessageBox::Warning, windowTitle(), QString::fromStdString(error));
        return;
    }
    QDialog::accept();
}
