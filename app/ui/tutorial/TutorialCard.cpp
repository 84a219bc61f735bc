#include "tutorial/TutorialCard.h"

#include "help/HelpLibrary.h"
#include "help/HelpWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

TutorialCard::TutorialCard(QWidget* parent)
    : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("tutorialCard"));
    setWindowTitle(QStringLiteral("Norvane Desk Tutorial"));
    m_view = new QTextBrowser(this);
    m_view->setObjectName(QStringLiteral("cardView"));
    m_view->setOpenLinks(false);
    m_view->setFrameShape(QFrame::NoFrame);
    auto* close = new QPushButton(QStringLiteral("Close &Tutorial"), this);
    close->setObjectName(QStringLiteral("closeTutorialButton"));
    close->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(300, 340);
    connect(m_view, &QTextBrowser::anchorClicked, this, &TutorialCard::followLink);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void TutorialCard::showCard(const QString& key, QWidget* anchor)
{
    m_card = key;
    const HelpTopic* topic = HelpLibrary::index().byKey(key.toStdString());
    QString html;
    if (topic != nullptr) {
        html = QStringLiteral("<h3>%1</h3>%2")
                   .arg(QString::fromStdString(topic->title).toHtmlEscaped(),
                        QString::fromStdString(topic->body));
    } else {
        html = HelpLibrary::page(key);
    }
    m_view->setHtml(html);
    if (!isVisible()) {
        placeBeside(anchor);
    }
    show();
    raise();
}

void TutorialCard::dismiss()
{
    m_dismissing = true;
    close();
    m_dismissing = false;
    m_card.clear();
}

QString TutorialCard::cardText() const
{
    return m_view->toPlainText();
}

void TutorialCard::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (!m_dismissing) {
        Q_EMIT closedByUser();
    }
}

void TutorialCard::followLink(const QUrl& url)
{
    if (url.scheme() == QLatin1String("lesson")) {
        bool ok = false;
        const int number = url.path().toInt(&ok);
        if (ok) {
            Q_EMIT lessonChosen(number);
        }
        return;
    }
    (void)HelpWindow::usable()->openKey(url.path());
}

void TutorialCard::placeBeside(QWidget* anchor)
{
    if (anchor == nullptr || !anchor->isVisible()) {
        return;
    }
    // To the right of the compose window where the screen has room, else to its left.
    const QRect frame = anchor->frameGeometry();
    const QScreen* screen = anchor->screen() ? anchor->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    QPoint at(frame.right() + 8, frame.top());
    if (room.isValid() && at.x() + width() > room.right()) {
        at.setX(std::max(room.left(), frame.left() - width() - 8));
    }
    move(at);
}
