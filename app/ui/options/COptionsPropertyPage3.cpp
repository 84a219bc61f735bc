#include "ui/options/COptionsPropertyPage3.h"

#include "gui/MessageBox.h"
#include "gui/NumberSpinBox.h"
#include "log/LogFile.h"
#include "services/DeskServices.h"
#include "services/LoggingOptionsForm.h"
#include "ui/options/OptionsWindows.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace {

QPushButton* namedButton(const QString& text, const char* name)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    return button;
}

// The arrows of the two number fields step within the range an up-down control has when the
// program sets none; typing takes any number.
constexpr int stepMinimum = 0;
constexpr int stepMaximum = 100;
constexpr int fieldLength = 10;

} // namespace

COptionsPropertyPage3::COptionsPropertyPage3(DeskServices& services, const OptionsWindows& windows,
                                             QWidget* parent)
    : OptionsPage(parent)
    , m_services(services)
    , m_windows(windows)
{
    setObjectName(QStringLiteral("loggingPage"));

    auto* saved = new QGroupBox(tr("Saved Messages"));
    m_savedCount = new NumberSpinBox(stepMinimum, stepMaximum, fieldLength);
    m_savedCount->setObjectName(QStringLiteral("maxSavedCountEdit"));
    auto* savedLabel = new QLabel(tr("Max. saved messages"));
    savedLabel->setBuddy(m_savedCount);
    QPushButton* purgeSavedButton = namedButton(tr("Purge"), "purgeSavedButton");
    auto* savedRow = new QHBoxLayout(saved);
    savedRow->addWidget(savedLabel);
    savedRow->addWidget(m_savedCount);
    savedRow->addStretch();
    savedRow->addWidget(purgeSavedButton);

    auto* logs = new QGroupBox(tr("Logs"));
    m_level = new QComboBox;
    m_level->setObjectName(QStringLiteral("logLevelList"));
    for (std::string_view name : LoggingOptionsForm::levelNames) {
        m_level->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    auto* levelLabel = new QLabel(tr("Log Level"));
    levelLabel->setBuddy(m_level);
    m_logSize = new NumberSpinBox(stepMinimum, stepMaximum, fieldLength);
    m_logSize->setObjectName(QStringLiteral("maxLogSizeEdit"));
    auto* sizeLabel = new QLabel(tr("Auto purge when log file is larger"));
    auto* thanLabel = new QLabel(tr("than"));
    thanLabel->setBuddy(m_logSize);
    QPushButton* view = namedButton(tr("View"), "viewLogButton");
    QPushButton* purgeLogButton = namedButton(tr("Purge"), "purgeLogButton");

    auto* logGrid = new QGridLayout(logs);
    logGrid->addWidget(levelLabel, 0, 0);
    logGrid->addWidget(m_level, 0, 1, 1, 3);
    logGrid->addWidget(sizeLabel, 1, 0, 1, 4);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(thanLabel);
    sizeRow->addWidget(m_logSize);
    sizeRow->addWidget(new QLabel(tr("Kbytes")));
    sizeRow->addStretch();
    logGrid->addLayout(sizeRow, 2, 0, 1, 4);
    auto* logButtons = new QVBoxLayout;
    logButtons->addWidget(view);
    logButtons->addWidget(purgeLogButton);
    logButtons->addStretch();
    logGrid->addLayout(logButtons, 0, 4, 3, 1);
    logGrid->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(saved);
    layout->addWidget(logs);
    layout->addStretch();

    // Typing and the arrows both change the field's text.
    for (NumberSpinBox* field : {m_savedCount, m_logSize}) {
        connect(field->findChild<QLineEdit*>(), &QLineEdit::textChanged, this,
                &COptionsPropertyPage3::markModified);
    }
    connect(m_level, &QComboBox::currentIndexChanged, this, &COptionsPropertyPage3::markModified);
    connect(purgeSavedButton, &QPushButton::clicked, this, &COptionsPropertyPage3::purgeSaved);
    connect(purgeLogButton, &QPushButton::clicked, this, &COptionsPropertyPage3::purgeLog);
    connect(view, &QPushButton::clicked, this, [this] { m_windows.viewLog(this); });
}

void COptionsPropertyPage3::loadValues()
{
    const LoggingOptionsForm form = LoggingOptionsForm::load();
    m_savedCount->setRecordText(form.maxSavedCount);
    m_level->setCurrentIndex(form.logLevel);
    m_logSize->setRecordText(form.maxLogSize);
}

void COptionsPropertyPage3::applyValues()
{
    LoggingOptionsForm form;
    form.maxSavedCount = m_savedCount->recordText();
    form.logLevel = m_level->currentIndex();
    form.maxLogSize = m_logSize->recordText();
    reportIfNotStored(form.apply());
    // Show what was stored, so that a field typed as 0 or text reads as its default now.
    showStoredValues();
}

void COptionsPropertyPage3::purgeSaved()
{
    if (!m_services.history().purge()) {
        MessageBox::show(this, QMessageBox::Warning, QStringLiteral("Purge Saved Message"),
                         tr("The message history %1 could not be deleted.")
                             .arg(QString::fromStdString(m_services.history().path())));
        return;
    }
    MessageBox::show(this, QMessageBox::Information, QStringLiteral("Purge Saved Message"),
                     QStringLiteral("All saved messaged deleted."));
}

void COptionsPropertyPage3::purgeLog()
{
    LogFile log;
    log.removeFile();
    std::error_code error;
    if (!log.path().empty() && std::filesystem::exists(log.path(), error)) {
        MessageBox::show(
            this, QMessageBox::Warning, QStringLiteral("Purge Message Log"),
            tr("The log file %1 could not be deleted.").arg(QString::fromStdString(log.path())));
        return;
    }
    MessageBox::show(this, QMessageBox::Information, QStringLiteral("Purge Message Log"),
                     QStringLiteral("All logged messaged deleted."));
}
