#pragma once

#include "ui/options/OptionsPage.h"

class QListWidget;
struct OptionsWindows;

// "LDAP": the directory services the search may use, added, edited and deleted at once (not on
// apply).
class COptionsPropertyPage6 final : public OptionsPage
{
    Q_OBJECT

public:
    // A page opening the "LDAP Server" dialog through `windows`, which must outlive it.
    explicit COptionsPropertyPage6(const OptionsWindows& windows, QWidget* parent = nullptr);
    Help help() const override { return {0x20000 + 206, "HIDD_OPTIONS_LDAP"}; }

    // Shows the stored services again.
    void reload();

protected:
    void loadValues() override { reload(); }
    void applyValues() override { }

private:
    void addServer();
    void deleteServer();
    void editServer(const QString& name);

    const OptionsWindows& m_windows;
    QListWidget* m_servers;
};
