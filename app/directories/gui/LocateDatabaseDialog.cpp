#include "directories/gui/LocateDatabaseDialog.h"

#include "gui/HelpTopics.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

QString LocateDatabaseDialog::browserFilter(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList names;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts[i].isEmpty())
            names << parts[i];
    }
    return names.join(QStringLiteral(";;"));
}

QString LocateDatabaseDialog::browserStart(const LocateRequest& request)
{
    // The folder of the path that was looked for, with the offered name in it; the folder
    // the program runs in when the path names none.
    const QFileInfo looked(QString::fromStdString(request.path));
    const QString name
        = request.fileName.empty() ? looked.fileName() : QString::fromStdString(request.fileName);
    return QDir(looked.absolutePath()).filePath(name);
}

LocateDatabaseDialog::LocateDatabaseDialog(const LocateRequest& request, QWidget* parent)
    : QDialog(parent)
    , m_request(request)
{
    setWindowTitle(QStringLiteral("Norvane Desk: Error"));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    auto* text = new QLabel(QString::fromStdString(request.message).trimmed(), this);
    text->setObjectName(QStringLiteral("messageLabel"));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* hints = new QLabel(QStringLiteral("Click on:\n"
                                            "Browse to locate the file maunally\n"
                                            "Create to create a file with the current file name\n"
                                            "Cancel to try to continue without the file"),
                             this);

    auto* create = new QPushButton(QStringLiteral("C&reate"), this);
    create->setObjectName(QStringLiteral("createButton"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("helpButton"));
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this,
            [this] { (void)HelpTopics::open(this, helpContext); });
    auto* browseButton = new QPushButton(QStringLiteral("&Browse..."), this);
    browseButton->setObjectName(QStringLiteral("browseButton"));
    browseButton->setDefault(true);
    browseButton->setFocus();
    connect(create, &QPushButton::clicked, this, [this] {
        m_choice = {LocateChoice::Action::Create, {}};
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(browseButton, &QPushButton::clicked, this, &LocateDatabaseDialog::browse);

    auto* texts = new QVBoxLayout;
    texts->addWidget(text);
    texts->addWidget(hints);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(create);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    buttons->addWidget(browseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

void LocateDatabaseDialog::browse()
{
    const QString chosen = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open"), browserStart(m_request), browserFilter(m_request.filter));
    if (chosen.isEmpty())
        return;
    m_choice = {LocateChoice::Action::Browse, chosen.toStdString()};
    accept();
}

LocateChoice LocateDatabaseDialog::choose()
{
    m_choice = {};
    if (exec() != QDialog::Accepted)
        return {LocateChoice::Action::Cancel, {}};
    return m_choice;
}
