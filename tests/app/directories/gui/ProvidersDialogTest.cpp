// The "Paging Service Providers" dialog over a real provider database: adding, the replace
// question, the refusals, and deleting several rows with Cancel ending the whole command.
#include "directories/gui/ProvidersDialog.h"

#include "DirectoriesGuiFixture.h"
#include "directories/ProviderDatabase.h"
#include "gui/MessageBox.h"
#include "sending/gui/MessageDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <memory>

class ProvidersDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void listsTheProvidersAndCopiesAClickedRow();
    void emptyFieldsAreRefusedWithTheirMessages_data();
    void emptyFieldsAreRefusedWithTheirMessages();
    void anExistingNameIsReplacedOnlyAfterOk();
    void cancelAtTheSecondDeleteQuestionDeletesNeither();
    void deletingTwoRemovesExactlyThoseRows();

private:
    template<typename T>
    T* child(const char* name) const
    {
        return childOf<T>(m_dialog.get(), name);
    }
    QStringList listed() const;
    QString phoneOf(const char* name);
    void selectRows(const QStringList& names);

    std::unique_ptr<ScopedRegistry> m_registry;
    std::unique_ptr<ProviderDatabase> m_database;
    std::unique_ptr<ProvidersDialog> m_dialog;
};

void ProvidersDialogTest::init()
{
    m_registry = std::make_unique<ScopedRegistry>();
    setPath("home", m_registry->dir().path());
    m_database = std::make_unique<ProviderDatabase>();
    QVERIFY(m_database->open());
    QVERIFY(m_database->add("Acme", "5551111"));
    QVERIFY(m_database->add("Brave", "5552222"));
    QVERIFY(m_database->add("Cosmo", "pager.example.net"));
    m_dialog = std::make_unique<ProvidersDialog>(*m_database);
    m_dialog->show();
}

void ProvidersDialogTest::cleanup()
{
    m_dialog.reset();
    m_database.reset();
    m_registry.reset();
}

QStringList ProvidersDialogTest::listed() const
{
    QStringList rows;
    for (int row = 0; row < m_dialog->list()->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_dialog->list()->topLevelItem(row);
        rows << item->text(0) + QLatin1Char('=') + item->text(1);
    }
    return rows;
}

QString ProvidersDialogTest::phoneOf(const char* name)
{
    std::string phone;
    return m_database->getPhone(name, phone) ? QString::fromStdString(phone)
                                             : QStringLiteral("(none)");
}

void ProvidersDialogTest::selectRows(const QStringList& names)
{
    m_dialog->list()->clearSelection();
    for (int row = 0; row < m_dialog->list()->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_dialog->list()->topLevelItem(row);
        item->setSelected(names.contains(item->text(0)));
    }
}

void ProvidersDialogTest::listsTheProvidersAndCopiesAClickedRow()
{
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Paging Service Providers"));
    QCOMPARE(listed(), QStringList({"Acme=5551111", "Brave=5552222", "Cosmo=pager.example.net"}));
    QVERIFY(child<QPushButton>("addButton")->isDefault());
    QTreeWidget* list = m_dialog->list();
    const QRect rect = list->visualItemRect(list->topLevelItem(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(child<QLineEdit>("nameEdit")->text(), QStringLiteral("Cosmo"));
    QCOMPARE(child<QLineEdit>("addressEdit")->text(), QStringLiteral("pager.example.net"));
}

void ProvidersDialogTest::emptyFieldsAreRefusedWithTheirMessages_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("phone");
    QTest::addColumn<int>("messageId");
    QTest::addColumn<QString>("text");
    QTest::newRow("no name") << ""
                             << "555" << 118 << "Please fill in the name of the Paging Company";
    QTest::newRow("no number") << "Delta"
                               << "" << 120 << "Please fill in the phone number";
}

void ProvidersDialogTest::emptyFieldsAreRefusedWithTheirMessages()
{
    QFETCH(QString, name);
    QFETCH(QString, phone);
    QFETCH(int, messageId);
    QFETCH(QString, text);
    child<QLineEdit>("nameEdit")->setText(name);
    child<QLineEdit>("addressEdit")->setText(phone);
    MessageDialog::skipNext();
    QTest::mouseClick(child<QPushButton>("addButton"), Qt::LeftButton);
    QVERIFY(MessageDialog::lastSkipped());
    QCOMPARE(MessageDialog::lastSkipped()->messageId, messageId);
    QCOMPARE(MessageDialog::lastSkipped()->text, text);
    QCOMPARE(MessageDialog::lastSkipped()->origin, QStringLiteral("main"));
    QCOMPARE(listed().size(), 3);
}

void ProvidersDialogTest::anExistingNameIsReplacedOnlyAfterOk()
{
    for (const auto answer : {QMessageBox::Cancel, QMessageBox::Ok}) {
        child<QLineEdit>("nameEdit")->setText(QStringLiteral("brave"));
        child<QLineEdit>("addressEdit")->setText(QStringLiteral("5559999"));
        MessageBox::answerNext(answer);
        QTest::mouseClick(child<QPushButton>("addButton"), Qt::LeftButton);
        QCOMPARE(MessageBox::lastAnswered()->text,
                 QStringLiteral("PSP exists already. Do you want to replace it?"));
        QCOMPARE(MessageBox::lastAnswered()->buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QVERIFY(child<QLineEdit>("nameEdit")->text().isEmpty());
        QVERIFY(child<QLineEdit>("addressEdit")->text().isEmpty());
    }
    QCOMPARE(phoneOf("Brave"), QStringLiteral("5559999"));
    QCOMPARE(listed(), QStringList({"Acme=5551111", "brave=5559999", "Cosmo=pager.example.net"}));
}

void ProvidersDialogTest::cancelAtTheSecondDeleteQuestionDeletesNeither()
{
    selectRows({"Acme", "Cosmo"});
    BoxScript boxes({QMessageBox::Yes, QMessageBox::Cancel});
    QTest::mouseClick(child<QPushButton>("deleteButton"), Qt::LeftButton);
    QVERIFY(boxes.done());
    QCOMPARE(boxes.texts,
             QStringList({"Delete paging service provider \"Acme\"?",
                          "Delete paging service provider \"Cosmo\"?"}));
    QCOMPARE(phoneOf("Acme"), QStringLiteral("5551111"));
    QCOMPARE(phoneOf("Cosmo"), QStringLiteral("pager.example.net"));
    QCOMPARE(listed().size(), 3);
}

void ProvidersDialogTest::deletingTwoRemovesExactlyThoseRows()
{
    selectRows({"Acme", "Cosmo"});
    BoxScript boxes({QMessageBox::Yes, QMessageBox::Yes});
    QTest::mouseClick(child<QPushButton>("deleteButton"), Qt::LeftButton);
    QVERIFY(boxes.done());
    QCOMPARE(phoneOf("Acme"), QStringLiteral("(none)"));
    QCOMPARE(phoneOf("Cosmo"), QStringLiteral("(none)"));
    QCOMPARE(listed(), QStringList({"Brave=5552222"}));
}

QTEST_MAIN(ProvidersDialogTest)
#include "ProvidersDialogTest.moc"
#include "qt/ModalWindows.h"
