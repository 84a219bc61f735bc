#include "help/HelpWindow.h"

#include "ScopedRegistry.h"
#include "gui/HelpTopics.h"
#include "help/AboutBox.h"
#include "help/HelpLibrary.h"
#include "plugin/ControlError.h"
#include "plugin/PluginLibrary.h"
#include "text/StringTable.h"

#include <QDialog>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <set>

namespace {

// The link targets of the page the browser shows, read from the rendered document.
QStringList anchorsOf(const QTextBrowser* browser)
{
    QStringList hrefs;
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString href = it.fragment().charFormat().anchorHref();
            if (!href.isEmpty() && !hrefs.contains(href)) {
                hrefs << href;
            }
        }
    }
    return hrefs;
}

} // namespace

class HelpWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY2(HelpLibrary::loadError().isEmpty(), qPrintable(HelpLibrary::loadError()));
        HelpWindow::install();
        m_window = HelpWindow::instance();
        m_browser = m_window->findChild<QTextBrowser*>(QStringLiteral("topicView"));
        QVERIFY(m_browser);
    }

    void cleanupTestCase()
    {
        HelpTopics::setOpener({});
        delete HelpWindow::instance();
    }

    // A message's "Help" button opens its topic by number; a key alone opens it too.
    void opensTopicsByNumberAndByKey()
    {
        QVERIFY(HelpTopics::open(nullptr, StringTable::errorCode(StringId::NoPin), {}));
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->currentKey(), QStringLiteral("HIDS_ERM_NOPIN"));
        QVERIFY(HelpTopics::open(nullptr, 0x10000 + 1001, {}));
        QCOMPARE(m_window->currentKey(), QStringLiteral("HIDC_SELECTFROMBOOK"));
        QVERIFY(m_window->openTopic(0x3FFFF, QStringLiteral("hids_erm_nopsp")));
        QCOMPARE(m_window->currentKey(), QStringLiteral("HIDS_ERM_NOPSP"));
        QVERIFY(m_browser->toPlainText().contains(QStringLiteral("paging company")));
        // Neither number nor key: a page that says so, not a topic.
        QVERIFY(!m_window->openTopic(0x3FFFF, QStringLiteral("HIDS_NOTHING")));
        QCOMPARE(m_window->currentKey(), QString());
        QVERIFY(m_browser->toPlainText().contains(QStringLiteral("0x3ffff (HIDS_NOTHING)")));
    }

    // A modal dialog blocks every window but its own: its "Help" opens a help window of its
    // own that the user can read and browse, and that goes with the dialog.
    void helpFromAModalDialogCanBeUsed()
    {
        QDialog dialog;
        QPointer<HelpWindow> opened;
        QTimer::singleShot(0, &dialog, [&] {
            QVERIFY(HelpTopics::open(&dialog, StringTable::errorCode(StringId::NoPin), {}));
            opened = dialog.findChild<HelpWindow*>();
            dialog.reject();
        });
        (void)dialog.exec();
        QVERIFY(opened);
        QVERIFY(opened != m_window);
        QVERIFY(opened->isWindow());
        QCOMPARE(opened->currentKey(), QStringLiteral("HIDS_ERM_NOPIN"));
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(HelpWindow::usable(), m_window);
    }

    // Every link of every page, followed in the window from the contents, opens a topic, and
    // so every topic is reached.
    void everyLinkFromTheContentsOpensATopic()
    {
        std::set<QString> seen;
        QStringList toVisit {QStringLiteral("contents")};
        const auto showPage = [this](const QString& key) {
            if (key == QLatin1String("contents")) {
                m_window->showContents();
                return true;
            }
            return m_window->openKey(key);
        };
        while (!toVisit.isEmpty()) {
            const QString key = toVisit.takeLast();
            if (!seen.insert(key).second) {
                continue;
            }
            QVERIFY2(showPage(key), qPrintable(key));
            for (const QString& href : anchorsOf(m_browser)) {
                if (href.startsWith(QLatin1String("lesson:"))) {
                    continue;
                }
                // Clicking the link opens its topic.
                Q_EMIT m_browser->anchorClicked(QUrl(href));
                const QString reached = m_window->currentKey();
                QVERIFY2(reached.compare(href, Qt::CaseInsensitive) == 0,
                         qPrintable(key + QStringLiteral(" -> ") + href));
                toVisit << reached;
                QVERIFY(showPage(key));
            }
        }
        for (const HelpTopic& topic : HelpLibrary::index().topics()) {
            QVERIFY2(seen.count(QString::fromStdString(topic.key)),
                     qPrintable(QString::fromStdString(topic.key)));
        }
    }

    void backAndForwardWalkTheTopicsSeen()
    {
        auto* back = m_window->findChild<QPushButton*>(QStringLiteral("backButton"));
        auto* forward = m_window->findChild<QPushButton*>(QStringLiteral("forwardButton"));
        QVERIFY(m_window->openKey(QStringLiteral("HIDD_COMPOSE")));
        QVERIFY(m_window->openKey(QStringLiteral("HIDD_SENDRESULTS")));
        QVERIFY(back->isEnabled());
        QTest::mouseClick(back, Qt::LeftButton);
        QCOMPARE(m_window->currentKey(), QStringLiteral("HIDD_COMPOSE"));
        QVERIFY(forward->isEnabled());
        QTest::mouseClick(forward, Qt::LeftButton);
        QCOMPARE(m_window->currentKey(), QStringLiteral("HIDD_SENDRESULTS"));
        QVERIFY(!forward->isEnabled());
    }

    // "Search..." finds the topics holding a word; a found topic opens from the list.
    void searchFindsAWordOfATopic()
    {
        m_window->showSearch(QStringLiteral("busy"));
        const QStringList found = m_window->searchResults();
        QVERIFY2(found.contains(QStringLiteral("Remote line busy. No message sent")),
                 qPrintable(found.join(QLatin1Char('|'))));
        auto* results = m_window->findChild<QListWidget*>(QStringLiteral("searchResults"));
        const auto items = results->findItems(QStringLiteral("Remote line busy. No message sent"),
                                              Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        Q_EMIT results->itemClicked(items.first());
        QCOMPARE(m_window->currentKey(), QStringLiteral("MSG_110"));
        m_window->showSearch(QStringLiteral("zzqx"));
        QVERIFY(m_window->searchResults().isEmpty());
    }

    void contentsListOpensItsTopics()
    {
        auto* tree = m_window->findChild<QTreeWidget*>(QStringLiteral("contentsTree"));
        QVERIFY(tree->topLevelItemCount() >= 5);
        QTreeWidgetItem* first = tree->topLevelItem(0)->child(0);
        Q_EMIT tree->itemClicked(first, 0);
        QCOMPARE(m_window->currentKey(), QStringLiteral("HIDH_OVERVIEW"));
    }

    // The about box names both drivers: a registered one with its version and file, a
    // missing one with why and how to mend it.
    void aboutBoxNamesTheDriversFound()
    {
        ScopedRegistry registry;
        ControlError error = ControlError::None;
        std::string why;
        const auto plover = PluginLibrary::open(NV_PLOVER_PLUGIN_PATH, error, why);
        QVERIFY2(plover, why.c_str());
        char text[512] = {};
        QCOMPARE(plover->registerServer()(text, sizeof text), 0);

        AboutBox box;
        QCOMPARE(box.versionText(), QStringLiteral("Version %1").arg(NORVANE_PROJECT_VERSION));
        const QStringList lines = box.driverLines();
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(QStringLiteral("IXO/TAP driver (kestrel): not registered")),
                 qPrintable(lines[0]));
        QVERIFY2(
            lines[1].startsWith(QStringLiteral("SNPP driver (plover): version 1, Tessal Plover "
                                               "Driver, ")),
            qPrintable(lines[1]));
        QVERIFY(lines[1].endsWith(QStringLiteral("libplover.so")));
    }

private:
    HelpWindow* m_window = nullptr;
    QTextBrowser* m_browser = nullptr;
};

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
