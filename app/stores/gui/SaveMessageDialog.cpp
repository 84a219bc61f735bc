#include "stores/gui/SaveMessageDialog.h"

#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString caption = QStringLiteral("Save Message");

} // namespace

SaveMessageDialog::SaveMessageDialog(SavedMessageStore& store, const std::string& recipients,
                                     const std::string& message, QWidget* parent,
                                     const std::string& schedule)
    : QDialog(parent)
    , m_form(store, recipients, message, schedule)
{
    setWindowTitle(caption);

    m_name = new QComboBox(this);
    m_name->setObjectName(QStringLiteral("nameCombo"));
    m_name->setEditable(true);
    // The list stays in the form's order (sorted as the names are read), and typing a name
    // that is not there must not add it to the list.
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->lineEdit()->setMaxLength(maxNameLength);
    for (const std::string& name : m_form.names())
        m_name->addItem(QString::fromStdString(name));
    m_name->setCurrentIndex(-1);
    m_name->setEditText({});
    m_name->setMinimumContentsLength(28);
    m_name->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    auto* nameLabel = new QLabel(QStringLiteral("Message Name"), this);
    nameLabel->setBuddy(m_name);
    auto* hint = new QLabel(QStringLiteral("To save a message, you need to provide a unqiue "
                                           "name. To overwrite an existing message, select an "
                                           "existing name from the combo box"),
                            this);
    hint->setObjectName(QStringLiteral("hintLabel"));
    hint->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    QPushButton* cancel
        = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    QPushButton* help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("helpButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SaveMessageDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this,
            [this] { (void)HelpTopics::open(this, helpContext, QString::fromLatin1(helpKey)); });

    auto* fields = new QVBoxLayout;
    fields->addWidget(nameLabel);
    fields->addWidget(m_name);
    fields->addWidget(hint);
    fields->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addWidget(buttons);
    m_name->setFocus();
}

void SaveMessageDialog::accept()
{
    const std::string name = m_name->currentText().toStdString();
    SaveMessageForm::Step step = m_form.submit(name);
    if (step == SaveMessageForm::Step::AskReplace) {
        const QString question
            = QStringLiteral("A saved message named \"%1\" exists already.\r"
                             "Replace its recipients and message? Its schedule stays.")
                  .arg(m_name->currentText());
        const auto answer = MessageBox::show(this, QMessageBox::Question, caption,
                                             MessageBox::screenText(question.toStdString()),
                                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
        step = m_form.replace(name);
    }
    if (step == SaveMessageForm::Step::Refused) {
        (void)MessageBox::show(this, QMessageBox::Warning, caption,
                               MessageBox::screenText(m_form.errorText()));
        return;
    }
    if (step != SaveMessageForm::Step::Saved)
        return;
    m_savedName = name;
    QDialog::accept();
}

bool SaveMessageDialog::run(QWidget* parent, SavedMessageStore& store,
                            const std::string& recipients, const std::string& message)
{
    SaveMessageDialog dialog(store, recipients, message, parent);
    return dialog.exec() == QDialog::Accepted;
}
