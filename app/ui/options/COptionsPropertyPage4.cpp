#include "ui/options/COptionsPropertyPage4.h"

#include "services/DeskServices.h"
#include "ui/options/OptionsWindows.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

COptionsPropertyPage4::COptionsPropertyPage4(DeskServices& services, const OptionsWindows& windows,
                                             QWidget* parent)
    : OptionsPage(parent)
    , m_services(services)
    , m_windows(windows)
{
    setObjectName(QStringLiteral("addressBookPage"));
    auto* group = new QGroupBox(tr("Select the address to use"));
    auto* radios = new QVBoxLayout(group);
    m_types = new QButtonGroup(this);
    const auto radio = [this, radios](const QString& text, const char* name, int type) {
        auto* button = new QRadioButton(text);
        button->setObjectName(QLatin1String(name));
        m_types->addButton(button, type);
        radios->addWidget(button);
    };
    radio(tr("Simple Address Book"), "simpleBookRadio", 0);
    radio(tr("Windows Messaging (MAPI) Address Book"), "mapiBookRadio", 1);
    radio(tr("Internet Address Book"), "internetBookRadio", 2);

    const auto button = [](const QString& text, const char* name) {
        auto* pushButton = new QPushButton(text);
        pushButton->setObjectName(QLatin1String(name));
        return pushButton;
    };
    m_properties = button(tr("Properties..."), "bookPropertiesButton");
    m_show = button(tr("Show Address Book"), "showAddressBookButton");
    QPushButton* providers = button(tr("Service Providers"), "serviceProvidersButton");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_properties);
    buttons->addWidget(m_show);
    buttons->addWidget(providers);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->addStretch();

    connect(m_types, &QButtonGroup::idClicked, this, &COptionsPropertyPage4::choose);
    connect(m_properties, &QPushButton::clicked, this, [this] {
        m_windows.bookProperties(
            this, m_form.type() == AddressBookOptionsForm::noType ? 0 : m_form.type());
    });
    connect(m_show, &QPushButton::clicked, this, [this] { m_windows.showAddressBook(this); });
    connect(providers, &QPushButton::clicked, this, [this] { m_windows.serviceProviders(this); });
}

void COptionsPropertyPage4::loadValues()
{
    m_form = AddressBookOptionsForm::load();
    // With no type known, no button is set (the group lets none be set until a click).
    if (QAbstractButton* checked = m_types->checkedButton()) {
        m_types->setExclusive(false);
        checked->setChecked(false);
        m_types->setExclusive(true);
    }
    if (QAbstractButton* shown = m_types->button(m_form.type())) {
        shown->setChecked(true);
    }
    showButtons();
}

void COptionsPropertyPage4::choose(int type)
{
    m_form.choose(type);
    showButtons();
    markModified();
}

void COptionsPropertyPage4::showButtons()
{
    m_properties->setEnabled(m_form.bookButtonsEnabled());
    m_show->setEnabled(m_form.bookButtonsEnabled());
}

void COptionsPropertyPage4::applyValues()
{
    const AddressBook* before = m_services.books().current();
    // A book that cannot be opened has told the user through the program's prompt already.
    (void)m_form.apply(m_services);
    if (QAbstractButton* shown = m_types->button(m_form.type())) {
        shown->setChecked(true);
    }
    showButtons();
    if (m_services.books().current() != before) {
        m_windows.addressBookChanged();
    }
}
