#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running program per user: a lock file in the user's runtime folder, held while the
// program runs (the system drops it when the process ends, so a crashed instance never blocks a
// start), and a local socket beside it on which a second start asks the first to come forward.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    // An instance lock in `folder` (empty: $XDG_RUNTIME_DIR, else the temporary folder).
    explicit SingleInstance(QString folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock and listens for later starts; false when another instance holds it.
    [[nodiscard]] bool acquire();
    // Asks the running instance to show its window; false when none answered within `waitMs`.
    [[nodiscard]] bool activateRunning(int waitMs = 3000) const;
    // Why the lock or the socket failed ("" when nothing failed).
    const QString& lastErrorText() const { return m_lastErrorText; }
    // The lock file's and the socket's paths.
    QString lockPath() const;
    QString socketPath() const;

Q_SIGNALS:
    // A later start asked this instance to bring its window forward.
    void activationRequested();

private:
    void serveConnection();

    QString m_folder;
    int m_fd = -1;
    QLocalServer* m_server = nullptr;
    QString m_lastErrorText;
};
