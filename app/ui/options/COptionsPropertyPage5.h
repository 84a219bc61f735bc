#pragma once

#include "services/ServerOptionsForm.h"
#include "ui/options/OptionsPage.h"

#include <QTimer>

class DeskServices;
class NumberSpinBox;
class QCheckBox;
class QLabel;
class QListWidget;

// "Server": the SNPP gateway's switch and port, the hosts allowed to use it and its security
// checks, with a line saying whether the gateway listens now. Applying an edit restarts the
// gateway with the new settings.
class COptionsPropertyPage5 final : public OptionsPage
{
    Q_OBJECT

public:
    // How often the status line looks at the gateway while it starts.
    static constexpr int statusPollMs = 100;
    // How long it looks before it says the gateway is still starting.
    static constexpr int statusWaitMs = 15000;

    // A page restarting the gateway of `services`, which must outlive it.
    explicit COptionsPropertyPage5(DeskServices& services, QWidget* parent = nullptr);
    Help help() const override { return {0x20000 + 205, "HIDD_OPTIONS_SERVER"}; }

    // The hosts list (for the keys Insert, keypad "+" and Delete).
    QListWidget* hostList() const { return m_hosts; }
    // Whether the status line still waits for the gateway's new status.
    bool isWaitingForGateway() const { return m_poll.isActive(); }

protected:
    void loadValues() override;
    void applyValues() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void switchClicked();
    void showEnabling();
    void showHosts();
    void appendHost();
    void removeSelectedHosts();
    void finishEdit();
    void pollStatus();

    DeskServices& m_services;
    ServerOptionsForm m_form;
    bool m_switchClicked = false;
    QCheckBox* m_enabled;
    NumberSpinBox* m_port;
    QListWidget* m_hosts;
    QCheckBox* m_fromAdbOnly;
    QCheckBox* m_level2Login;
    QLabel* m_status;
    QTimer m_poll;
    unsigned m_serialBefore = 0;
    int m_polled = 0;
};
