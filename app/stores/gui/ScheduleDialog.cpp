#include "stores/gui/ScheduleDialog.h"

#include "gui/HelpTopics.h"
#include "stores/gui/NumericEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <ctime>

namespace {

const char* const monthNames[]
    = {"January", "February", "March",     "April",   "May",      "June",
       "July",    "August",   "September", "October", "November", "December"};
const char* const weekdayLabels[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const weekdayObjects[]
    = {"sunBox", "monBox", "tueBox", "wedBox", "thuBox", "friBox", "satBox"};

QString text(const std::string& value)
{
    return QString::fromStdString(value);
}

} // namespace

std::int64_t ScheduleDialog::currentTime()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

ScheduleDialog::ScheduleDialog(const std::string& names, const Schedule& schedule, QWidget* parent,
                               std::int64_t now)
    : QDialog(parent)
    , m_form(names, schedule, now)
{
    setWindowTitle(QStringLiteral("Schedule Message"));

    m_names = new QLineEdit(text(m_form.names()), this);
    m_names->setObjectName(QStringLiteral("nameEdit"));
    m_names->setReadOnly(true);
    m_names->setCursorPosition(0);
    auto* nameRow = new QHBoxLayout;
    auto* nameLabel = new QLabel(QStringLiteral("Name:"), this);
    nameLabel->setBuddy(m_names);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_names, 1);

    // Time: Hour and Min on the 12-hour clock, with A.M. and P.M.
    auto* time = new QGroupBox(QStringLiteral("Time"), this);
    time->setObjectName(QStringLiteral("timeGroup"));
    m_hour = new NumericEdit(1, 12, time);
    m_hour->setObjectName(QStringLiteral("hourEdit"));
    m_minute = new NumericEdit(0, 59, time);
    m_minute->setObjectName(QStringLiteral("minuteEdit"));
    m_am = new QRadioButton(QStringLiteral("A.M."), time);
    m_am->setObjectName(QStringLiteral("amButton"));
    m_pm = new QRadioButton(QStringLiteral("P.M."), time);
    m_pm->setObjectName(QStringLiteral("pmButton"));
    auto* timeLayout = new QGridLayout(time);
    auto* hourLabel = new QLabel(QStringLiteral("Hour"), time);
    hourLabel->setBuddy(m_hour);
    auto* minuteLabel = new QLabel(QStringLiteral("Min"), time);
    minuteLabel->setBuddy(m_minute);
    timeLayout->addWidget(hourLabel, 0, 0);
    timeLayout->addWidget(minuteLabel, 0, 1);
    timeLayout->addWidget(m_hour, 1, 0);
    timeLayout->addWidget(m_minute, 1, 1);
    timeLayout->addWidget(m_am, 0, 2);
    timeLayout->addWidget(m_pm, 1, 2);

    // Type.
    auto* type = new QGroupBox(QStringLiteral("Type"), this);
    type->setObjectName(QStringLiteral("typeGroup"));
    m_once = new QRadioButton(QStringLiteral("Once:"), type);
    m_once->setObjectName(QStringLiteral("onceButton"));
    m_weekly = new QRadioButton(QStringLiteral("Every Week:"), type);
    m_weekly->setObjectName(QStringLiteral("weeklyButton"));
    m_monthly = new QRadioButton(QStringLiteral("Every Month:"), type);
    m_monthly->setObjectName(QStringLiteral("monthlyButton"));
    auto* typeLayout = new QVBoxLayout(type);
    typeLayout->addWidget(m_once);
    typeLayout->addWidget(m_weekly);
    typeLayout->addWidget(m_monthly);

    // Date: the month, the day and the weekdays.
    auto* date = new QGroupBox(QStringLiteral("Date"), this);
    date->setObjectName(QStringLiteral("dateGroup"));
    m_month = new QComboBox(date);
    m_month->setObjectName(QStringLiteral("monthCombo"));
    for (const char* month : monthNames)
        m_month->addItem(QString::fromLatin1(month));
    m_date = new NumericEdit(1, 31, date);
    m_date->setObjectName(QStringLiteral("dateEdit"));
    auto* dateLayout = new QGridLayout(date);
    auto* monthLabel = new QLabel(QStringLiteral("Month"), date);
    monthLabel->setBuddy(m_month);
    auto* dayLabel = new QLabel(QStringLiteral("Date"), date);
    dayLabel->setBuddy(m_date);
    dateLayout->addWidget(monthLabel, 0, 0, 1, 4);
    dateLayout->addWidget(dayLabel, 0, 4, 1, 3);
    dateLayout->addWidget(m_month, 1, 0, 1, 4);
    dateLayout->addWidget(m_date, 1, 4, 1, 3);
    for (int day = 0; day < 7; ++day) {
        auto* box = new QCheckBox(QString::fromLatin1(weekdayLabels[day]), date);
        box->setObjectName(QString::fromLatin1(weekdayObjects[day]));
        m_weekdays[static_cast<std::size_t>(day)] = box;
        dateLayout->addWidget(box, 2, day);
        connect(box, &QCheckBox::toggled, this, [this, day](bool checked) {
            if (!m_showing)
                m_form.setWeekdayChecked(day, checked);
        });
    }

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    QPushButton* help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("helpButton"));
    QPushButton* cancel
        = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this,
            [this] { (void)HelpTopics::open(this, helpContext, QString::fromLatin1(helpKey)); });

    auto* upper = new QHBoxLayout;
    upper->addWidget(time);
    upper->addWidget(type);
    auto* fields = new QVBoxLayout;
    fields->addLayout(nameRow);
    fields->addLayout(upper);
    fields->addWidget(date);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addWidget(buttons);

    connect(m_hour, &NumericEdit::numberTextChanged, this, [this](const QString& value) {
        if (!m_showing)
            m_form.setHourText(value.toStdString());
    });
    connect(m_minute, &NumericEdit::numberTextChanged, this, [this](const QString& value) {
        if (!m_showing)
            m_form.setMinuteText(value.toStdString());
    });
    connect(m_date, &NumericEdit::numberTextChanged, this, [this](const QString& value) {
        if (!m_showing)
            m_form.setDateText(value.toStdString());
    });
    connect(m_pm, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_showing)
            m_form.setPm(on);
    });
    connect(m_once, &QRadioButton::clicked, this, [this] { chooseType(ScheduleType::Once); });
    connect(m_weekly, &QRadioButton::clicked, this, [this] { chooseType(ScheduleType::Weekly); });
    connect(m_monthly, &QRadioButton::clicked, this, [this] { chooseType(ScheduleType::Monthly); });
    connect(m_month, &QComboBox::activated, this, [this](int index) {
        m_form.chooseMonth(index + 1);
        showForm();
    });

    showForm();
    setTabOrder(m_names, m_hour);
    setTabOrder(m_hour, m_minute);
    setTabOrder(m_minute, m_am);
    setTabOrder(m_am, m_pm);
    setTabOrder(m_pm, m_once);
    setTabOrder(m_once, m_weekly);
    setTabOrder(m_weekly, m_monthly);
    setTabOrder(m_monthly, m_month);
    setTabOrder(m_month, m_date);
    m_hour->setFocus();
}

void ScheduleDialog::chooseType(ScheduleType type)
{
    m_form.chooseType(type);
    showForm();
}

void ScheduleDialog::showForm()
{
    // The fields' own change signals must not hand the values straight back while they are
    // being shown.
    m_showing = true;
    m_hour->setText(text(m_form.hourText()));
    m_minute->setText(text(m_form.minuteText()));
    (m_form.pm() ? m_pm : m_am)->setChecked(true);
    switch (m_form.type()) {
    case ScheduleType::Weekly:
        m_weekly->setChecked(true);
        break;
    case ScheduleType::Monthly:
        m_monthly->setChecked(true);
        break;
    default:
        m_once->setChecked(true);
        break;
    }
    m_month->setCurrentIndex(m_form.month() - 1);
    m_date->setMaximum(m_form.dateMaximum());
    m_date->setText(text(m_form.dateText()));
    for (int day = 0; day < 7; ++day) {
        QCheckBox* box = m_weekdays[static_cast<std::size_t>(day)];
        box->setChecked(m_form.weekdayChecked(day));
        box->setEnabled(m_form.weekdaysEnabled());
    }
    m_date->setEnabled(m_form.dateEnabled());
    m_month->setEnabled(m_form.monthEnabled());
    m_showing = false;
}

bool ScheduleDialog::run(QWidget* parent, const std::string& names, Schedule& schedule)
{
    ScheduleDialog dialog(names, schedule, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    schedule = dialog.schedule();
    return true;
}
