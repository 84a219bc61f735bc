#include "directories/gui/SimpleBookPropertiesDialog.h"

#include "directories/AddressBookPropertiesForm.h"
#include "directories/DirectorySettings.h"
#include "directories/gui/LocateDatabaseDialog.h"
#include "gui/DialogButtons.h"
#include "gui/MessageBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

SimpleBookPropertiesDialog::SimpleBookPropertiesDialog(AddressBookSelection& books, QWidget* parent)
    : QDialog(parent)
    , m_books(books)
    , m_path(new QLineEdit(this))
    , m_dataSource(new QCheckBox(QStringLiteral("Use ODBC data source"), this))
{
    setWindowTitle(QString::fromUtf8(AddressBookPropertiesForm::simpleCaption.data(),
                                     AddressBookPropertiesForm::simpleCaption.size()));
    const auto shown = AddressBookPropertiesForm::simplePath(books);
    m_path->setObjectName(QStringLiteral("pathEdit"));
    m_path->setText(QString::fromStdString(shown.shown));
    m_path->setCursorPosition(0);
    m_path->setMinimumWidth(320);
    // A file is chosen with "Browse..."; a data source's connect text is typed.
    m_path->setReadOnly(!shown.dataSource);
    m_dataSource->setObjectName(QStringLiteral("dataSourceBox"));
    m_dataSource->setChecked(shown.dataSource);
    m_dataSource->setEnabled(false);
    auto* browseButton = new QPushButton(QStringLiteral("Browse..."), this);
    browseButton->setObjectName(QStringLiteral("browseButton"));
    browseButton->setAutoDefault(false);
    auto* label = new QLabel(QStringLiteral("&Database File:"), this);
    label->setBuddy(m_path);

    auto* box = DialogButtons::okCancel(this);
    m_ok = box->findChild<QPushButton*>(QStringLiteral("okButton"));
    m_ok->setEnabled(false);
    connect(m_path, &QLineEdit::textEdited, this, [this] { m_ok->setEnabled(true); });
    connect(browseButton, &QPushButton::clicked, this, &SimpleBookPropertiesDialog::browse);

    auto* fields = new QGridLayout;
    fields->addWidget(label, 0, 0);
    fields->addWidget(m_path, 1, 0);
    fields->addWidget(browseButton, 1, 1);
    fields->addWidget(m_dataSource, 2, 0);
    fields->setRowStretch(3, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addWidget(box);
}

bool SimpleBookPropertiesDialog::run(QWidget* parent, AddressBookSelection& books)
{
    SimpleBookPropertiesDialog dialog(books, parent);
    return dialog.exec() == QDialog::Accepted;
}

void SimpleBookPropertiesDialog::browse()
{
    LocateRequest request;
    request.path = m_path->text().toStdString();
    request.fileName = std::string(DirectorySettings::simpleBookFileName);
    request.filter = "Database File (*.mdb)|*.mdb|All Files (*.*)|*.*||";
    const QString chosen = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open"), LocateDatabaseDialog::browserStart(request),
        LocateDatabaseDialog::browserFilter(request.filter));
    if (chosen.isEmpty()) {
        return;
    }
    m_path->setText(chosen);
    m_dataSource->setChecked(false);
    m_path->setReadOnly(true);
    m_ok->setEnabled(true);
}

void SimpleBookPropertiesDialog::accept()
{
    const std::string path = AddressBookPropertiesForm::storedSimplePath(
        m_path->text().trimmed().toStdString(), m_dataSource->isChecked());
    std::string error;
    if (!AddressBookPropertiesForm::applySimple(m_books, path, error)) {
        MessageBox::show(this, QMessageBox::Warning, windowTitle(),
                         QStringLiteral("Cannot use the address book:\n")
                             + QString::fromStdString(error));
        return;
    }
    QDialog::accept();
}
