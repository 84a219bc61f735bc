#include "directories/gui/InternetBookPropertiesDialog.h"

#include "directories/AddressBookPropertiesForm.h"
#include "gui/DialogButtons.h"
#include "gui/MessageBox.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

InternetBookPropertiesDialog::InternetBookPropertiesDialog(AddressBookSelection& books,
                                                           QWidget* parent)
    : QDialog(parent)
    , m_books(books)
    , m_folder(new QLineEdit(this))
{
    setWindowTitle(QString::fromUtf8(AddressBookPropertiesForm::internetCaption.data(),
                                     AddressBookPropertiesForm::internetCaption.size()));
    m_folder->setObjectName(QStringLiteral("folderEdit"));
    m_folder->setText(QString::fromStdString(AddressBookPropertiesForm::internetFolder(books)));
    m_folder->setCursorPosition(0);
    m_folder->setMinimumWidth(320);
    auto* label = new QLabel(QStringLiteral("&Contacts folder (one vCard file per entry):"), this);
    label->setBuddy(m_folder);
    auto* browseButton = new QPushButton(QStringLiteral("Browse..."), this);
    browseButton->setObjectName(QStringLiteral("browseButton"));
    browseButton->setAutoDefault(false);

    auto* box = DialogButtons::okCancel(this);
    m_ok = box->findChild<QPushButton*>(QStringLiteral("okButton"));
    m_ok->setEnabled(false);
    connect(m_folder, &QLineEdit::textEdited, this, [this] { m_ok->setEnabled(true); });
    connect(browseButton, &QPushButton::clicked, this, &InternetBookPropertiesDialog::browse);

    auto* fields = new QGridLayout;
    fields->addWidget(label, 0, 0);
    fields->addWidget(m_folder, 1, 0);
    fields->addWidget(browseButton, 1, 1);
    fields->setRowStretch(2, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addWidget(box);
}

bool InternetBookPropertiesDialog::run(QWidget* parent, AddressBookSelection& books)
{
    InternetBookPropertiesDialog dialog(books, parent);
    return dialog.exec() == QDialog::Accepted;
}

void InternetBookPropertiesDialog::browse()
{
    const QString chosen
        = QFileDialog::getExistingDirectory(this, QStringLiteral("Open"), m_folder->text());
    if (chosen.isEmpty()) {
        return;
    }
    m_folder->setText(chosen);
    m_ok->setEnabled(true);
}

void InternetBookPropertiesDialog::accept()
{
    std::string error;
    if (!AddressBookPropertiesForm::applyInternet(m_books, m_folder->text().trimmed().toStdString(),
                                                  error)) {
        MessageBox::show(this, QMessageBox::Warning, windowTitle(),
                         QStringLiteral("Cannot use the address book:\n")
                             + QString::fromStdString(error));
        return;
    }
    QDialog::accept();
}
