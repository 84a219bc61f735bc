#include "directories/gui/LdapServerDialog.h"

#include "gui/DialogButtons.h"
#include "gui/MessageBox.h"
#include "gui/NumberSpinBox.h"
#include "gui/QtStrings.h"
#include "settings/SettingsKey.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

QLineEdit* namedEdit(const char* name)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    // The stored entry keeps 127 characters in all; the form names what does not fit.
    edit->setMaxLength(static_cast<int>(LdapService::maxText));
    return edit;
}

void showError(QWidget* parent, std::string_view text)
{
    MessageBox::show(parent, QMessageBox::Warning, fromStd(LdapServerForm::errorCaption),
                     fromStd(text));
}

} // namespace

bool LdapServerDialog::edit(QWidget* parent, std::string& name)
{
    SettingsKey key;
    const bool opened = key.open(RootKey::CurrentUser, LdapService::key);
    LdapServerForm form
        = name.empty() || !opened ? LdapServerForm::forNew() : LdapServerForm::forEntry(key, name);
    LdapServerDialog dialog(std::move(form), key, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    name = dialog.form().fields().name;
    return true;
}

LdapServerDialog::LdapServerDialog(LdapServerForm form, SettingsKey& key, QWidget* parent)
    : QDialog(parent)
    , m_form(std::move(form))
    , m_key(key)
{
    setWindowTitle(fromStd(LdapServerForm::caption));
    setObjectName(QStringLiteral("ldapServerDialog"));

    m_name = namedEdit("nameEdit");
    m_host = namedEdit("hostEdit");
    m_port = new NumberSpinBox(1, LdapServerForm::maxPort, 5);
    m_port->setObjectName(QStringLiteral("portBox"));
    m_base = namedEdit("baseEdit");
    m_login = namedEdit("loginEdit");
    m_password = namedEdit("passwordEdit");
    m_password->setEchoMode(QLineEdit::Password);

    auto* fields = new QFormLayout;
    fields->addRow(tr("Name"), m_name);
    fields->addRow(tr("Host Name"), m_host);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(m_port);
    portRow->addStretch();
    fields->addRow(tr("Port"), portRow);
    fields->addRow(tr("Directory Base"), m_base);

    auto* authentication = new QGroupBox(tr("Authentication (Optional)"));
    authentication->setObjectName(QStringLiteral("authenticationGroup"));
    auto* login = new QFormLayout(authentication);
    login->addRow(tr("Login Name"), m_login);
    login->addRow(tr("Password"), m_password);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(authentication);
    left->addStretch();
    QDialogButtonBox* buttons = DialogButtons::okCancel(this);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(buttons, 0, Qt::AlignTop);
    m_name->setMinimumWidth(m_name->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);

    const LdapServerForm::Fields& shown = m_form.fields();
    m_name->setText(fromStd(shown.name));
    m_host->setText(fromStd(shown.host));
    m_port->setText(fromStd(shown.port));
    m_base->setText(fromStd(shown.base));
    m_login->setText(fromStd(shown.login));
    m_password->setText(fromStd(shown.password));
    // Typing replaces the proposed name.
    m_name->selectAll();
    m_name->setFocus();
}

int LdapServerDialog::exec()
{
    if (!m_form.openMessage().empty())
        showError(this, m_form.openMessage());
    return QDialog::exec();
}

LdapServerForm::Fields LdapServerDialog::readFields() const
{
    LdapServerForm::Fields fields;
    fields.name = m_name->text().toStdString();
    fields.host = m_host->text().toStdString();
    fields.port = m_port->text().toStdString();
    fields.base = m_base->text().toStdString();
    fields.login = m_login->text().toStdString();
    fields.password = m_password->text().toStdString();
    return fields;
}

void LdapServerDialog::accept()
{
    m_form.setFields(readFields());
    const std::string problem = m_form.accept(m_key);
    if (!problem.empty()) {
        showError(this, problem);
        return;
    }
    QDialog::accept();
}
