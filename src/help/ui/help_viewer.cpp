// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/ui/help_viewer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/ui/qt_messages.h"
#include "common/ui/window_geometry.h"
#include "help/help_topics.h"

// Resources of a static library are registered explicitly, outside any namespace.
static void RegisterHelpPages() { Q_INIT_RESOURCE(help_pages); }

namespace ampvane {

namespace {

constexpr const char* kHelpRoot = ":/help/";
constexpr const char* kHelpTopicProperty = "ampvaneHelpTopic";

// The one help window of the run and the topic shown last.
struct HelpState {
    QPointer<THelpViewer> viewer;
    int currentTopic = kContentsHelpTopic;
};
HelpState& State() {
    static HelpState state;
    return state;
}

void EnsureResources() {
    static const bool registered = (RegisterHelpPages(), true);
    (void)registered;
}

QString PageTitle(const QString& html, const QString& fallback) {
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const auto match = title.match(html);
    return match.hasMatch() ? match.captured(1).trimmed() : fallback;
}

QString ReadPage(const QString& name) {
    QFile file(HelpPagePath(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

class HelpKeyFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        if (QWidget* focus = QApplication::focusWidget(); focus && focus->window() == widget->window()) widget = focus;
        // The help window itself answers F1 with its index.
        if (auto* viewer = State().viewer.data(); viewer && widget->window() == viewer) {
            viewer->ShowIndex();
            return true;
        }
        const int topic = HelpTopicOf(widget);
        if (topic <= 0) return false;
        ShowHelpTopic(topic);
        return true;
    }
};

// Beside an open modal window (a question) the help window is that window's own child window: both take
// input, so the question can be answered while its help is read. When the modal window goes, the help
// stays open as a window of its own.
class ModalHelpParent final : public QObject {
public:
    static void Adopt(THelpViewer& viewer, QWidget& modal) {
        if (viewer.parentWidget() == &modal || viewer.isAncestorOf(&modal)) return;
        const QRect place = viewer.geometry();
        const bool shown = viewer.isVisible();
        viewer.setParent(&modal, Qt::Window);
        if (shown) viewer.setGeometry(place);
        modal.installEventFilter(new ModalHelpParent(&modal, viewer));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Hide || watched != parent()) return false;
        if (viewer_ && viewer_->parentWidget() == parent()) {
            const QRect place = viewer_->geometry();
            const bool shown = viewer_->isVisible();
            viewer_->setParent(nullptr, Qt::Window);
            if (shown) {
                viewer_->setGeometry(place);
                viewer_->show();
            }
        }
        deleteLater();
        return false;
    }

private:
    ModalHelpParent(QObject* modal, THelpViewer& viewer) : QObject(modal), viewer_(&viewer) {}
    QPointer<THelpViewer> viewer_;
};

} // namespace

THelpViewer::THelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    EnsureResources();
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(tr("Ampvane Help"));
    resize(820, 600);

    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    const auto makeButton = [&](const QString& text, const char* name, const char* icon) {
        auto* button = new QToolButton(this);
        button->setText(text);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(QIcon::fromTheme(QString::fromLatin1(icon)));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        bar->addWidget(button);
        return button;
    };
    BackButton_ = makeButton(tr("&Back"), "BackButton", "go-previous");
    ForwardButton_ = makeButton(tr("&Forward"), "ForwardButton", "go-next");
    QToolButton* indexButton = makeButton(tr("&Index"), "IndexButton", "go-home");
    bar->addSpacing(12);
    auto* searchLabel = new QLabel(tr("&Search:"), this);
    bar->addWidget(searchLabel);
    SearchEdit_ = new QLineEdit(this);
    SearchEdit_->setObjectName(QStringLiteral("SearchEdit"));
    SearchEdit_->setPlaceholderText(tr("words to find in every page"));
    SearchEdit_->setClearButtonEnabled(true);
    searchLabel->setBuddy(SearchEdit_);
    bar->addWidget(SearchEdit_, 1);
    layout->addLayout(bar);

    auto* splitter = new QSplitter(this);
    ResultList_ = new QListWidget(splitter);
    ResultList_->setObjectName(QStringLiteral("SearchResultList"));
    ResultList_->hide();
    Browser_ = new QTextBrowser(splitter);
    Browser_->setObjectName(QStringLiteral("HelpBrowser"));
    Browser_->setSearchPaths({QString::fromLatin1(kHelpRoot)});
    Browser_->setOpenExternalLinks(true);
    splitter->addWidget(ResultList_);
    splitter->addWidget(Browser_);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    // Escape closes the help as it closes the program's other windows.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    BackButton_->setEnabled(false);
    ForwardButton_->setEnabled(false);
    connect(BackButton_, &QToolButton::clicked, Browser_, &QTextBrowser::backward);
    connect(ForwardButton_, &QToolButton::clicked, Browser_, &QTextBrowser::forward);
    connect(Browser_, &QTextBrowser::backwardAvailable, BackButton_, &QToolButton::setEnabled);
    connect(Browser_, &QTextBrowser::forwardAvailable, ForwardButton_, &QToolButton::setEnabled);
    connect(indexButton, &QToolButton::clicked, this, &THelpViewer::ShowIndex);
    connect(SearchEdit_, &QLineEdit::returnPressed, this, &THelpViewer::SearchEditReturnPressed);
    connect(ResultList_, &QListWidget::itemActivated, this, &THelpViewer::ResultActivated);
    connect(ResultList_, &QListWidget::itemClicked, this, &THelpViewer::ResultActivated);
    connect(Browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl&) {
        setWindowTitle(tr("Ampvane Help - %1").arg(Browser_->documentTitle()));
    });
}

void THelpViewer::ShowTopic(int topic) {
    if (!HelpPageExists(topic)) {
        ShowIndex();
        return;
    }
    Browser_->setSource(QUrl(QStringLiteral("qrc") + HelpPagePath(QString::fromStdString(HelpPageName(topic)))));
}

void THelpViewer::ShowIndex() { Browser_->setSource(QUrl(QStringLiteral("qrc") + HelpPagePath("index.htm"))); }

QString THelpViewer::CurrentPage() const { return Browser_->source().fileName(); }

void THelpViewer::EnsurePageTexts() const {
    if (!pageNames_.isEmpty()) return;
    EnsureResources();
    // Index order: the index page lists every page; the rest follow by name.
    QStringList names = QDir(QString::fromLatin1(kHelpRoot)).entryList({QStringLiteral("*.htm")}, QDir::Files);
    const QString index = ReadPage(QStringLiteral("index.htm"));
    std::stable_sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        const auto at = [&](const QString& n) {
            const qsizetype i = index.indexOf(QLatin1Char('"') + n + QLatin1Char('"'));
            return i < 0 ? index.size() : i;
        };
        return at(a) < at(b);
    });
    for (const QString& name : names) {
        QTextDocument document;
        document.setHtml(ReadPage(name));
        pageNames_.append(name);
        pageTexts_.append(document.toPlainText());
    }
}

QStringList THelpViewer::Search(const QString& words) const {
    EnsurePageTexts();
    const QStringList wanted = words.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QStringList found;
    if (wanted.isEmpty()) return found;
    for (qsizetype i = 0; i < pageNames_.size(); ++i) {
        const bool all = std::all_of(wanted.begin(), wanted.end(), [&](const QString& word) {
            return pageTexts_[i].contains(word, Qt::CaseInsensitive);
        });
        if (all) found.append(pageNames_[i]);
    }
    return found;
}

void THelpViewer::SearchEditReturnPressed() {
    ResultList_->clear();
    const QStringList found = Search(SearchEdit_->text());
    for (const QString& name : found) {
        auto* item = new QListWidgetItem(PageTitle(ReadPage(name), name), ResultList_);
        item->setData(Qt::UserRole, name);
    }
    if (found.isEmpty()) {
        auto* item = new QListWidgetItem(tr("No page holds these words."), ResultList_);
        item->setFlags(Qt::NoItemFlags);
    }
    ResultList_->show();
}

void THelpViewer::ResultActivated() {
    const QListWidgetItem* item = ResultList_->currentItem();
    if (!item || item->data(Qt::UserRole).toString().isEmpty()) return;
    Browser_->setSource(QUrl(QStringLiteral("qrc") + HelpPagePath(item->data(Qt::UserRole).toString())));
    Browser_->find(SearchEdit_->text().split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0));
}

bool HelpPageExists(int topic) {
    EnsureResources();
    return QFile::exists(HelpPagePath(QString::fromStdString(HelpPageName(topic))));
}

QString HelpPagePath(const QString& pageName) { return QString::fromLatin1(kHelpRoot) + pageName; }

THelpViewer* HelpViewerWindow() { return State().viewer.data(); }

void ShowHelpTopic(int topic) {
    HelpState& state = State();
    if (topic > 0) state.currentTopic = topic;
    if (!state.viewer) state.viewer = new THelpViewer;
    THelpViewer* viewer = state.viewer;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == viewer) modal = nullptr;
    if (modal) ModalHelpParent::Adopt(*viewer, *modal);
    viewer->ShowTopic(state.currentTopic);
    viewer->show();
    // The help of a question never hides the question's buttons.
    if (modal) PlaceBesideOwner(*viewer, *modal);
    viewer->raise();
    viewer->activateWindow();
}

int CurrentHelpTopic() { return State().currentTopic; }

void CloseHelpWindows() {
    if (THelpViewer* viewer = State().viewer) {
        viewer->close();
        delete viewer;
    }
}

void SetHelpTopic(QWidget* widget, int topic) {
    if (widget) widget->setProperty(kHelpTopicProperty, topic);
}

QPushButton* NewHelpButton(QWidget* window, int topic) {
    SetHelpTopic(window, topic);
    auto* button = new QPushButton(QObject::tr("Help"), window);
    button->setObjectName(QStringLiteral("HelpButton"));
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, window, [topic] { ShowHelpTopic(topic); });
    return button;
}

int HelpTopicOf(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        const int topic = widget->property(kHelpTopicProperty).toInt();
        if (topic > 0) return topic;
    }
    return 0;
}

void InstallHelpKey() {
    static QPointer<HelpKeyFilter> filter;
    if (filter || !qApp) return;
    filter = new HelpKeyFilter(qApp);
    qApp->installEventFilter(filter);
    SetMessageHelp([](int topic) { ShowHelpTopic(topic > 0 ? topic : kContentsHelpTopic); });
}

} // namespace ampvane
