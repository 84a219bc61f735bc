#include "help/AboutBox.h"

#include "gui/HelpTopics.h"
#include "shell/DriverInventory.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

void AboutBox::run(QWidget* parent)
{
    AboutBox box(parent);
    (void)box.exec();
}

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("About Norvane Desk"));

    auto* picture = new QLabel(this);
    picture->setPixmap(QIcon(QStringLiteral(":/sending/icons/norvane.svg")).pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* name = new QLabel(QStringLiteral("<b>Norvane Desk</b>"), this);
    m_version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(NORVANE_VERSION)), this);
    m_version->setObjectName(QStringLiteral("programVersion"));

    QStringList html;
    for (const DriverInventory::Driver& driver : DriverInventory::find()) {
        const QString line = QString::fromStdString(DriverInventory::describe(driver));
        m_driverLines << line;
        html << (driver.found ? line.toHtmlEscaped()
                              : QStringLiteral("<span style=\"color:#a00000\">%1</span>")
                                    .arg(line.toHtmlEscaped()));
    }
    auto* driversTitle = new QLabel(QStringLiteral("Protocol drivers:"), this);
    m_drivers = new QLabel(html.join(QStringLiteral("<br/>")), this);
    m_drivers->setObjectName(QStringLiteral("driverList"));
    m_drivers->setTextFormat(Qt::RichText);
    m_drivers->setWordWrap(true);
    m_drivers->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_drivers->setMinimumWidth(420);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(m_version);
    text->addSpacing(8);
    text->addWidget(driversTitle);
    text->addWidget(m_drivers);
    text->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(8);
    top->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QPushButton* help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("helpButton"));
    help->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { (void)HelpTopics::open(this, 0x20000 + 100, QStringLiteral("HIDD_ABOUT")); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buttons);
}

QString AboutBox::versionText() const
{
    return m_version->text();
}

QStringList AboutBox::driverLines() const
{
    return m_driverLines;
}
