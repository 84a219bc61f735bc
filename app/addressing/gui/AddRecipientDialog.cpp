#include "addressing/gui/AddRecipientDialog.h"

#include "directories/ProviderDatabase.h"
#include "directories/gui/ProvidersDialog.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"
#include "gui/QtStrings.h"
#include "text/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

// A line edit with an object name and a label above it, added to `layout`.
QLineEdit* labelledEdit(QVBoxLayout* layout, const QString& label, const char* name)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    auto* caption = new QLabel(label);
    caption->setBuddy(edit);
    layout->addWidget(caption);
    layout->addWidget(edit);
    return edit;
}

// An address panel: a group box titled `title` whose fields go into the returned layout.
QVBoxLayout* addPanel(QStackedWidget* panels, const QString& title, const char* name)
{
    auto* box = new QGroupBox(title);
    box->setObjectName(QLatin1String(name));
    auto* layout = new QVBoxLayout(box);
    panels->addWidget(box);
    return layout;
}

QPushButton* columnButton(QVBoxLayout* column, const QString& text, const char* name)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    column->addWidget(button);
    return button;
}

} // namespace

AddRecipientDialog::AddRecipientDialog(AddRecipientForm form, ProviderDatabase* providers,
                                       AddressBook* book, QWidget* parent)
    : QDialog(parent)
    , m_form(std::move(form))
    , m_book(book)
{
    setWindowTitle(fromStd(std::string(m_form.caption())));
    setObjectName(QStringLiteral("addRecipientDialog"));

    auto* fields = new QVBoxLayout;
    m_name = labelledEdit(fields, tr("Name"), "nameEdit");
    m_addToBook = new QCheckBox(tr("Add to address book"));
    m_addToBook->setObjectName(QStringLiteral("addToBookBox"));
    fields->addWidget(m_addToBook, 0, Qt::AlignRight);
    m_type = new QComboBox;
    m_type->setObjectName(QStringLiteral("typeList"));
    for (std::string_view name : AddRecipientForm::typeNames)
        m_type->addItem(fromStd(std::string(name)));
    auto* typeLabel = new QLabel(tr("Address Type"));
    typeLabel->setBuddy(m_type);
    fields->addWidget(typeLabel);
    fields->addWidget(m_type);

    m_panels = new QStackedWidget;
    m_panels->setObjectName(QStringLiteral("addressPanels"));
    QVBoxLayout* ixo = addPanel(m_panels, tr("IXO/TAP Address"), "ixoPanel");
    m_company = new QComboBox;
    m_company->setObjectName(QStringLiteral("companyBox"));
    m_company->setEditable(true);
    m_company->setInsertPolicy(QComboBox::NoInsert);
    if (providers) {
        for (const Provider& provider : providers->providers())
            m_company->addItem(fromStd(provider.name));
    }
    auto* addCompany = new QPushButton(tr("Add"));
    addCompany->setObjectName(QStringLiteral("addCompanyButton"));
    auto* companyLabel = new QLabel(tr("Paging Company"));
    companyLabel->setBuddy(m_company);
    auto* companyRow = new QHBoxLayout;
    companyRow->addWidget(m_company, 1);
    companyRow->addWidget(addCompany);
    ixo->addWidget(companyLabel);
    ixo->addLayout(companyRow);
    m_ixoPin = labelledEdit(ixo, tr("Pin or Alias"), "ixoPinEdit");
    ixo->addStretch();
    QVBoxLayout* analog = addPanel(m_panels, tr("Analog Pager Address"), "analogPanel");
    m_phone = labelledEdit(analog, tr("Pager Phone Number"), "phoneEdit");
    analog->addStretch();
    QVBoxLayout* snpp = addPanel(m_panels, tr("SNPP Pager Address"), "snppPanel");
    m_host = labelledEdit(snpp, tr("Server host name (e.g. snpp.example.com)"), "hostEdit");
    m_snppPin = labelledEdit(snpp, tr("Pager pin number"), "snppPinEdit");
    snpp->addStretch();
    fields->addWidget(m_panels, 1);

    auto* buttons = new QVBoxLayout;
    QPushButton* ok = columnButton(buttons, tr("&OK"), "okButton");
    ok->setDefault(true);
    QPushButton* cancel = columnButton(buttons, tr("Cancel"), "cancelButton");
    QPushButton* help = columnButton(buttons, tr("&Help"), "helpButton");
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    showFields();
    // A new recipient starts with the first company of the list.
    if (m_form.fields().number.empty() && m_company->count() > 0)
        m_company->setCurrentIndex(0);

    connect(ok, &QPushButton::clicked, this, &AddRecipientDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &AddRecipientDialog::reject);
    connect(help, &QPushButton::clicked, this,
            [this] { HelpTopics::open(this, helpContext, QStringLiteral("HIDD_ADDRECIPIENT")); });
    connect(addCompany, &QPushButton::clicked, this,
            [this, providers] { editProviders(providers); });
    connect(m_type, &QComboBox::currentIndexChanged, this, &AddRecipientDialog::typeChanged);
    connect(m_addToBook, &QCheckBox::toggled, this, &AddRecipientDialog::boxToggled);
}

void AddRecipientDialog::editProviders(ProviderDatabase* providers)
{
    if (providers == nullptr) {
        MessageBox::show(this, QMessageBox::Warning, tr("Paging Service Providers"),
                         tr("The paging service provider database is not open. Choose where it "
                            "is when Norvane Desk asks at its next start."));
        return;
    }
    ProvidersDialog(*providers, this).exec();
    // The companies as they are now, keeping what was typed or chosen.
    const QString current = m_company->currentText();
    m_company->clear();
    for (const Provider& provider : providers->providers())
        m_company->addItem(fromStd(provider.name));
    m_company->setCurrentText(current);
}

AddRecipientForm::Fields AddRecipientDialog::readFields() const
{
    AddRecipientForm::Fields fields;
    fields.name = m_name->text().toStdString();
    fields.addToBook = m_addToBook->isChecked();
    // The record comes from the panel on show, whatever the type list says meanwhile.
    fields.type = static_cast<AddressType>(m_panels->currentIndex() + 1);
    switch (fields.type) {
    case AddressType::Ixo:
        fields.number = m_company->currentText().toStdString();
        fields.pin = m_ixoPin->text().toStdString();
        break;
    case AddressType::Analog:
        fields.number = m_phone->text().toStdString();
        break;
    default:
        fields.number = m_host->text().toStdString();
        fields.pin = m_snppPin->text().toStdString();
        break;
    }
    return fields;
}

void AddRecipientDialog::showFields()
{
    const AddRecipientForm::Fields& fields = m_form.fields();
    m_name->setText(fromStd(fields.name));
    m_name->setEnabled(m_form.nameEnabled() || m_form.editing());
    m_name->setReadOnly(m_form.editing());
    m_addToBook->setVisible(m_form.boxVisible());
    m_addToBook->setEnabled(m_form.boxEnabled());
    {
        const QSignalBlocker blockBox(m_addToBook);
        m_addToBook->setChecked(fields.addToBook);
    }
    const int panel = static_cast<int>(fields.type) - 1;
    {
        const QSignalBlocker blockType(m_type);
        m_type->setCurrentIndex(panel);
    }
    m_panels->setCurrentIndex(panel);
    const QString number = fromStd(fields.number);
    const QString pin = fromStd(fields.pin);
    switch (fields.type) {
    case AddressType::Ixo:
        m_company->setCurrentText(number);
        m_ixoPin->setText(pin);
        break;
    case AddressType::Analog:
        m_phone->setText(number);
        break;
    default:
        m_host->setText(number);
        m_snppPin->setText(pin);
        break;
    }
}

void AddRecipientDialog::typeChanged(int index)
{
    // The address record passes from the panel on show to the next one.
    AddRecipientForm::Fields fields = readFields();
    fields.type = static_cast<AddressType>(index + 1);
    m_form.setFields(fields);
    showFields();
}

void AddRecipientDialog::boxToggled(bool on)
{
    m_form.setFields(readFields());
    m_form.setAddToBook(on);
    m_name->setText(fromStd(m_form.fields().name));
    m_name->setEnabled(m_form.nameEnabled());
    if (m_form.nameEnabled()) {
        // Typing replaces the default name.
        m_name->setFocus();
        m_name->selectAll();
    }
}

void AddRecipientDialog::showMessageId(int id)
{
    MessageBox::show(this, QMessageBox::Warning, tr("Norvane Desk Error"),
                     MessageBox::screenText(StringTable::text(id)));
}

AddRecipientForm::Overwrite AddRecipientDialog::askOverwrite(const std::string& name)
{
    QString text = MessageBox::screenText(AddRecipientForm::overwriteText);
    text.replace(QLatin1String("%1"), fromStd(name));
    switch (MessageBox::show(this, QMessageBox::Warning, windowTitle(), text,
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                             QMessageBox::No)) {
    case QMessageBox::Yes:
        return AddRecipientForm::Overwrite::Yes;
    case QMessageBox::No:
        return AddRecipientForm::Overwrite::No;
    default:
        return AddRecipientForm::Overwrite::Cancel;
    }
}

void AddRecipientDialog::accept()
{
    m_form.setFields(readFields());
    const AddRecipientForm::Accepted accepted = m_form.accept();
    if (accepted.messageId != 0) {
        showMessageId(accepted.messageId);
        return;
    }
    if (m_form.fields().addToBook && m_book) {
        int messageId = 0;
        const AddRecipientForm::Stored stored = AddRecipientForm::store(
            *m_book, accepted, [&] { return askOverwrite(accepted.name); }, messageId);
        if (stored == AddRecipientForm::Stored::BackToDialog)
            return;
        if (stored == AddRecipientForm::Stored::Failed)
            showMessageId(messageId);
    }
    m_accepted = accepted;
    QDialog::accept();
}
