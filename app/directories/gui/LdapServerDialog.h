#pragma once

#include "directories/LdapServerForm.h"

#include <QDialog>

#include <string>

class NumberSpinBox;
class QLineEdit;
class SettingsKey;

// The "LDAP Server" dialog: the name of a directory service and its host, port, directory base
// and optional login. OK checks the fields (a refusal is shown and the dialog stays) and writes
// the entry under the Ldap key at once.
class LdapServerDialog final : public QDialog
{
    Q_OBJECT

public:
    // Opens the dialog on the entry `name` of the current user's Ldap key (empty: a new entry,
    // named "NoName" until the user types a name), modal over `parent`. Answers true when OK
    // wrote the entry; `name` then holds the name it was written under.
    static bool edit(QWidget* parent, std::string& name);

    // A dialog over `form` that writes into `key` (which must outlive it).
    LdapServerDialog(LdapServerForm form, SettingsKey& key, QWidget* parent = nullptr);

    const LdapServerForm& form() const { return m_form; }
    // Shows the form's open message (an entry that could not be found), if any, then runs
    // the dialog.
    int exec() override;
    // OK: checks and writes; closes only when the entry was written.
    void accept() override;

private:
    LdapServerForm::Fields readFields() const;

    LdapServerForm m_form;
    SettingsKey& m_key;
    QLineEdit* m_name;
    QLineEdit* m_host;
    NumberSpinBox* m_port;
    QLineEdit* m_base;
    QLineEdit* m_login;
    QLineEdit* m_password;
};
