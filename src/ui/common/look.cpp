#include "ui/common/look.h"

#include <QDialog>
#include <QEvent>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <algorithm>
#include <cstring>
#include <utility>

#include "ui/common/decor.h"

namespace look {
namespace {

constexpr int kBandHeight = 44;
// The window manager's title bar is not known before the window is shown.
constexpr int kTitleBarRoom = 30;
const QColor kInk(31, 78, 140);  // the blue of the sign-in screen's titles

// The administrators' full screens: the header band and the style sheet.
const char* const kBandedScreens[] = {
    "CAdmin",    "CExamManager",    "CExamPaper",  "CVariouSet",  "CTestManage",
    "CSetPaper", "CExamManagement", "CCreateExam", "CCheckScore", "CHandworkCorrect"};
// The windows they open: the style sheet only.
const char* const kStyledChildren[] = {"CAddQuestion", "CExamInandout", "CAddAltNode", "CWordPaper",
                                       "CImportExaminee"};

const char* const kOwnTabOrder[] = {"CLogin", "CVemoDlg"};

struct Calligraphy {
    const char* screen;
    QRect at;
};
// The screens that do not draw the calligraphy themselves.
const Calligraphy kCalligraphy[] = {{"CExamPaper", QRect(500, 520, 200, 133)},
                                    {"CVariouSet", QRect(650, 380, 200, 133)},
                                    {"CCreateExam", QRect(550, 5, 200, 133)},
                                    {"CExamManagement", QRect(260, 540, 160, 106)}};

struct GrowingList {
    const char* screen;
    const char* list;
};
const GrowingList kGrowingLists[] = {{"CExamPaper", "questionList"},
                                     {"CExamManager", "examineeList"},
                                     {"CTestManage", "paperList"},
                                     {"CExamManagement", "exams"},
                                     {"CCheckScore", "scores"}};

const QString kStyleSheet = QStringLiteral(
    "QDialog { background: #f3f6fb; }"
    "QPushButton { color: #1b2f4d; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
    " stop:0 #ffffff, stop:1 #e1eaf6); border: 1px solid #8aa4c8; border-radius: 3px;"
    " padding: 2px 6px; }"
    "QPushButton:hover { border-color: #1f4e8c; }"
    "QPushButton:pressed { background: #cddbee; }"
    "QPushButton:focus { border: 2px solid #1f4e8c; }"
    "QPushButton:disabled { color: #8c97a6; border-color: #c3cedd; }"
    "QGroupBox { border: 1px solid #b3c4dc; border-radius: 4px; margin-top: 9px; }"
    "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px;"
    " color: #1f4e8c; }"
    "QLineEdit, QComboBox, QPlainTextEdit, QTextEdit {"
    " border: 1px solid #a9b9d0; border-radius: 2px; background: #ffffff; }"
    "QLineEdit:read-only { background: #eef2f8; }"
    "QLineEdit:focus, QComboBox:focus, QPlainTextEdit:focus, QTextEdit:focus { border-color:"
    " #1f4e8c; }"
    "QTableView, QTableWidget { gridline-color: #c8d4e6; background: #ffffff;"
    " alternate-background-color: #f5f8fc; selection-background-color: #3a78c2; }"
    "QHeaderView::section { background: #e3ebf6; color: #1b2f4d; border: none;"
    " border-right: 1px solid #c8d4e6; border-bottom: 1px solid #c8d4e6; padding: 3px; }");

template <size_t N>
bool Listed(const QWidget* screen, const char* const (&names)[N]) {
    const char* className = screen->metaObject()->className();
    return std::any_of(std::begin(names), std::end(names),
                       [className](const char* name) { return std::strcmp(name, className) == 0; });
}

// Keeps the controls of a list screen in their places as the window grows: the list
// takes the new room, what stands beside it moves with the right edge, what stands
// below it with the bottom edge (and, in the window's right part, with the right edge
// too).
class ListGrowth : public QObject {
public:
    ListGrowth(QWidget* screen, QWidget* list)
        : QObject(screen),
          m_screen(screen),
          m_list(list),
          m_design(screen->size()),
          m_listPlace(list->geometry()) {
        setObjectName(QStringLiteral("listGrowth"));
        for (QWidget* child : screen->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child != list) m_places.append({child, child->geometry()});
        screen->setMinimumSize(m_design);
        screen->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        screen->setWindowFlags(screen->windowFlags() | Qt::WindowMaximizeButtonHint);
        screen->installEventFilter(this);
    }

    QRect Placed(const QRect& designed) const {
        const QSize grown = m_screen->size() - m_design;
        const QPoint centre = designed.center();
        const bool beside = centre.y() >= m_listPlace.top() && centre.y() <= m_listPlace.bottom() &&
                            centre.x() > m_listPlace.right();
        const bool below = centre.y() > m_listPlace.bottom();
        // Below the list, what stands in the right part of the window keeps to its right
        // edge, as the buttons there do.
        const bool atRight = below && centre.x() > m_design.width() * 3 / 5;
        return designed.translated(beside || atRight ? grown.width() : 0,
                                   below ? grown.height() : 0);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Resize || !m_list) return false;
        const QSize grown = m_screen->size() - m_design;
        m_list->setGeometry(m_listPlace.adjusted(0, 0, grown.width(), grown.height()));
        for (const auto& [control, place] : m_places)
            if (control) control->setGeometry(Placed(place));
        return false;
    }

private:
    QWidget* m_screen;
    QPointer<QWidget> m_list;
    QSize m_design;
    QRect m_listPlace;
    QList<std::pair<QPointer<QWidget>, QRect>> m_places;
};

// Paints the header band and the calligraphy under the screen's own painting.
class Backdrop : public QObject {
public:
    Backdrop(QWidget* screen, bool band, int bandTaken, const QRect& calligraphy)
        : QObject(screen),
          m_screen(screen),
          m_band(band),
          m_bandTaken(bandTaken),
          m_calligraphy(calligraphy) {
        screen->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        QPainter painter(m_screen);
        if (m_band) PaintBand(painter);
        if (!m_calligraphy.isNull())
            decor::PaintCalligraphy(painter, look::Placed(m_screen, m_calligraphy));
        return false;
    }

private:
    // A pale strip in the sign-in screen's blue; the emblem and the title go to its right
    // end, where no control stands.
    void PaintBand(QPainter& painter) const {
        const QRect band(0, 0, m_screen->width(), kBandHeight);
        QLinearGradient fill(band.topLeft(), band.bottomLeft());
        fill.setColorAt(0, QColor(214, 228, 246));
        fill.setColorAt(1, QColor(243, 246, 251));
        painter.fillRect(band, fill);
        painter.fillRect(QRect(0, 0, band.width(), 3), kInk);

        int freeFrom = m_bandTaken;
        for (QWidget* child : m_screen->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isVisible() && child->geometry().intersects(band))
                freeFrom = std::max(freeFrom, child->geometry().right() + 1);
        const QString title = m_screen->windowTitle().section(QChar(u'—'), -1);
        constexpr int kEmblem = 30, kMargin = 12;
        QFont font = m_screen->font();
        font.setBold(true);
        const qreal size = font.pointSizeF();
        int titleWidth = 0, needed = 0;
        // A larger title where the room allows.
        for (const qreal scale : {1.3, 1.0}) {
            font.setPointSizeF(size * scale);
            titleWidth = QFontMetrics(font).horizontalAdvance(title);
            needed = kEmblem + 8 + titleWidth + 2 * kMargin;
            if (band.width() - freeFrom >= needed) break;
        }
        if (band.width() - freeFrom < needed) return;
        painter.setFont(font);
        const int left = band.width() - needed + kMargin;
        decor::PaintEmblem(painter, QRect(left, (kBandHeight - kEmblem) / 2 + 1, kEmblem, kEmblem));
        painter.setPen(kInk);
        painter.drawText(QRect(left + kEmblem + 8, 3, titleWidth + kMargin, kBandHeight - 3),
                         Qt::AlignLeft | Qt::AlignVCenter, title);
    }

    QWidget* m_screen;
    bool m_band;
    int m_bandTaken;  // the band is taken up to here by what the screen draws itself
    QRect m_calligraphy;
};

// Tab follows the screen: rows from top to bottom, left to right within a row, the
// controls of a group or pane together. A row is the controls whose tops lie within a
// few pixels of the row's first.
void ChainInReadingOrder(QWidget* container, QWidget*& previous) {
    constexpr int kRowSlack = 8;
    QList<QWidget*> children;
    for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow()) children << child;
    std::stable_sort(children.begin(), children.end(),
                     [](const QWidget* a, const QWidget* b) { return a->y() < b->y(); });
    for (auto row = children.begin(); row != children.end();) {
        const int top = (*row)->y();
        const auto next = std::find_if(
            row, children.end(), [top](const QWidget* w) { return w->y() - top > kRowSlack; });
        std::stable_sort(row, next,
                         [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
        row = next;
    }
    for (QWidget* child : children) {
        if (!(child->focusPolicy() & Qt::TabFocus)) {
            ChainInReadingOrder(child, previous);
            continue;
        }
        if (previous) QWidget::setTabOrder(previous, child);
        previous = child;
    }
}

// The room a window may take: the screen's available area less a title bar. A full
// screen window without a frame (the exam window) is the screen's own size.
QSize Room(const QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (window->windowFlags() & Qt::FramelessWindowHint) return screen->size();
    return screen->availableGeometry().size() - QSize(0, kTitleBarRoom);
}

bool Fits(const QWidget* window) {
    const QSize room = Room(window);
    return window->width() <= room.width() && window->height() <= room.height();
}

// Holds a screen's controls in a scrolling pane, over what the screen itself paints.
class ScrolledContent : public QWidget {
public:
    explicit ScrolledContent(QWidget* screen)
        : m_backdrop(screen->size() * screen->devicePixelRatioF()) {
        m_backdrop.setDevicePixelRatio(screen->devicePixelRatioF());
        m_backdrop.fill(Qt::transparent);
        screen->render(&m_backdrop, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_backdrop);
    }

private:
    QPixmap m_backdrop;
};

// A screen of fixed size larger than the room (a small display, a large scale factor)
// shows its controls in a scrolling pane of the room's size, rather than running off
// the display.
void ScrollWhenTooLarge(QWidget* window) {
    if (Fits(window)) return;
    auto* content = new ScrolledContent(window);
    content->setObjectName(QStringLiteral("scrolledContent"));
    content->setFixedSize(window->size());
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow()) continue;
        const bool hidden = child->isHidden();
        child->setParent(content);
        child->setVisible(!hidden);
    }
    auto* pane = new QScrollArea(window);
    pane->setFrameShape(QFrame::NoFrame);
    pane->setWidget(content);
    window->setFixedSize(window->size().boundedTo(Room(window)));
    pane->setGeometry(window->rect());
}

void FitIntoScreen(QWidget* window) {
    if (window->minimumSize() == window->maximumSize()) return ScrollWhenTooLarge(window);
    window->resize(window->size().boundedTo(Room(window)).expandedTo(window->minimumSize()));
}

}  // namespace

void Prepare(QDialog* screen) {
    const bool banded = Listed(screen, kBandedScreens);
    if (banded || Listed(screen, kStyledChildren)) screen->setStyleSheet(kStyleSheet);
    const char* className = screen->metaObject()->className();
    for (const GrowingList& growing : kGrowingLists)
        if (std::strcmp(growing.screen, className) == 0 && Fits(screen))
            if (auto* list = screen->findChild<QWidget*>(QString::fromLatin1(growing.list)))
                new ListGrowth(screen, list);
    QRect calligraphy;
    for (const Calligraphy& c : kCalligraphy)
        if (std::strcmp(c.screen, className) == 0) calligraphy = c.at;
    // The question bank draws the emblem at the band's right end itself.
    const int bandTaken = std::strcmp(className, "CExamPaper") == 0 ? screen->width() : 0;
    if (banded || !calligraphy.isNull()) new Backdrop(screen, banded, bandTaken, calligraphy);
    // The sign-in screen orders its columns itself; the exam window takes the keyboard.
    if (!Listed(screen, kOwnTabOrder)) {
        QWidget* previous = nullptr;
        ChainInReadingOrder(screen, previous);
    }
    FitIntoScreen(screen);
}

QRect Placed(const QWidget* screen, const QRect& designed) {
    const auto* growth = dynamic_cast<const ListGrowth*>(
        screen->findChild<QObject*>(QStringLiteral("listGrowth"), Qt::FindDirectChildrenOnly));
    return growth ? growth->Placed(designed) : designed;
}

}  // namespace look
