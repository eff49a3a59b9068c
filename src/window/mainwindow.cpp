// SPDX-License-Identifier: 0BSD
#include "window/form1.h"

#include "window/bestofpanel.h"
#include "window/accessibility.h"
#include "window/icon.h"
#include "widgets/twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStringList>
#include <QWindow>

namespace tavlin {

namespace {

using namespace colour;

}  // namespace

Form1::Form1(Dialogs& dialogs, const QString& scoreFile,
             std::unique_ptr<DirectionSource> directions)
    : dialogs_(dialogs),
      scoreFile_(scoreFile),
      directions_(directions ? std::move(directions) : std::make_unique<ClockSeededRandom>()),
      game_(*this, *directions_)
{
    // Before any control exists: Qt keeps the first interface it makes for a
    // control, and a screen reader that is already running asks at once.
    accessibility::install();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tavlin"));
    setWindowIcon(gameIcon());
    // A fixed dialog frame: a close box and the system menu, nothing to
    // minimise, maximise or drag to another size.
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                   | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    surface_ = new QWidget(this);
    surface_->setObjectName(QStringLiteral("Form1Surface"));
    surface_->setFixedSize(twipsToPixels(design::ClientWidth), twipsToPixels(design::ClientHeight));
    setBackground(surface_, LightGreen);
    // The window's own font; the menus keep the desktop's, and every label
    // sets its own.
    surface_->setFont(comicFont(8.25));
    surface_->installEventFilter(this);
    setCentralWidget(surface_);

    timer1_.setInterval(1000);
    connect(&timer1_, &QTimer::timeout, this, &Form1::Timer1_Timer);

    picture1_ = new Panel(surface_, LightYellow);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setGeometry(twipsRect(0, 0, design::ClientWidth, design::StripHeight));
    picture1_->setFont(comicFont(9.75));
    picture1_->setFocusPolicy(Qt::NoFocus);  // focused only by a tile click

    // The time keeps its left edge, the move count its right one.
    label2_ = makeTextLabel(picture1_, QStringLiteral("Label2"), Label::Sizing::FollowLeft,
                            QStringLiteral("0"), comicFont(11.25), Maroon, 120, 0);
    // The move count starts with the caption the first shuffle ends with:
    // any other would be measured only to be replaced before the window shows.
    label1_ = makeTextLabel(picture1_, QStringLiteral("Label1"), Label::Sizing::FollowRight,
                            Game::moveText(0), comicFont(11.25), Maroon, 2640 + 660, 0);
    // A screen reader names the two by what they count; the caption is the value.
    label2_->setAccessibleName(QStringLiteral("Čas"));
    label1_->setAccessibleName(QStringLiteral("Počet tahů"));

    kosticka_[Board::Blank] = new Label(surface_);
    Label* blank = kosticka_[Board::Blank];
    blank->setObjectName(QStringLiteral("Kosticka(16)"));
    blank->setFont(comicFont(30, true));
    blank->setTextColor(Green);
    setBackground(blank, LightYellow);
    blank->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    blank->setGeometry(twipsRect(2160, 960, 855, 945));
    blank->setText(QStringLiteral("16"));
    blank->hide();

    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // The strip holds the focus from the start, as after every click: no key
    // does anything there and nothing shows it, but a screen reader then
    // reads the game's own controls, and after a box closes Qt gives the
    // focus back to it, not to the bare window.
    picture1_->setFocus(Qt::OtherFocusReason);

    Form_Load();
}

Form1::~Form1() = default;

void Form1::buildMenus()
{
    auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                          QKeySequence shortcut, void (Form1::*procedure)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        // F1 to F3 work whenever the window is active, the best-of panel
        // shown or not.
        action->setShortcutContext(Qt::WindowShortcut);
        // The menus and the keys run the procedure at once; a screen reader's
        // press runs it from the event loop (accessibility.cpp), so that the
        // boxes it shows do not hold the screen reader.
        connect(action, &QAction::triggered, this, procedure);
        return action;
    };
    auto addSeparator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu* hra = menuBar()->addMenu(QStringLiteral("&Hra"));
    hra->setObjectName(QStringLiteral("mnuHra"));
    addItem(hra, "miRozhazej", QStringLiteral("&Zamíchat"), Qt::Key_F1, &Form1::miRozhazej_Click);
    addSeparator(hra, "mnu205");
    addItem(hra, "mnuBestOf", QStringLiteral("N&ejlepší hráči"), Qt::Key_F2, &Form1::mnuBestOf_Click);
    addSeparator(hra, "miSeparator");
    addItem(hra, "miKonec", QStringLiteral("&Konec"), Qt::Key_F3, &Form1::miKonec_Click);

    QMenu* napoveda = menuBar()->addMenu(QStringLiteral("&Nápověda"));
    napoveda->setObjectName(QStringLiteral("mnu01"));
    addItem(napoveda, "mnu02", QStringLiteral("&Ovládání"), {}, &Form1::mnu02_Click);
    addSeparator(napoveda, "mnu03");
    addItem(napoveda, "mnu05", QStringLiteral("O &aplikaci"), {}, &Form1::mnu05_Click);
}

Label* Form1::makeTile(int index)
{
    // A copy of the template tile 16: its font, colours and alignment; the
    // new tile starts hidden like its template.
    const Label* blank = kosticka_[Board::Blank];
    auto* tile = new Label(surface_);
    tile->setObjectName(QStringLiteral("Kosticka(%1)").arg(index));
    tile->setFont(blank->font());
    tile->setPalette(blank->palette());
    tile->setAutoFillBackground(true);
    tile->setAlignment(blank->alignment());
    // And its size: Qt gives a widget shown without one the size of its
    // text, and measuring "15" in the tiles' large face would load that face
    // before the window is up, though nothing shows it until the first paint.
    tile->resize(blank->size());
    tile->hide();
    // Tiles lie on the window's surface, beneath both panels.
    tile->lower();
    connect(tile, &Label::clicked, this, [this, index] {
        Kosticka_Click(static_cast<std::int16_t>(index));
    });
    return tile;
}

void Form1::Form_Load()
{
    adjustSize();
    centreOnScreen();
    for (int n = 1; n < Board::Blank; ++n) {
        kosticka_[n] = makeTile(n);
        kosticka_[n]->show();
    }
    kosticka_[Board::Blank]->lower();
    for (int n = 1; n <= Board::Blank; ++n)
        kosticka_[n]->setText(QString::number(n));
    // Lays the tiles out in the solved arrangement, then shuffles, before the
    // window is first shown: the player never sees the solved board.
    game_.load(static_cast<float>(design::ClientWidth), static_cast<float>(design::ClientHeight),
               static_cast<float>(design::StripHeight));
}

void Form1::centreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Centred by its outer size. The frame is the window manager's: before
    // the window is first shown it is not known, and the window with its
    // menu bar stands in for it until the frame appears (moveEvent).
    const QRect area = screen->geometry();
    const QSize outer = frameGeometry().size();
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void Form1::centreInFrameOnce()
{
    // The window manager has framed the window: centre it once more, now by
    // the size with the frame. Later moves are the player's.
    if (!centredInFrame_ && frameGeometry().size() != size()) {
        centredInFrame_ = true;
        centreOnScreen();
    }
}

void Form1::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    centreInFrameOnce();
}

void Form1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The frame may become known without a move (its size announced after
    // the window manager placed it); it is known by the time the framed
    // window is first exposed.
    if (QWindow* handle = windowHandle())
        handle->installEventFilter(this);
}

// --- GameView -------------------------------------------------------------

void Form1::placeTile(int tile, TilePlace place, float width, float height)
{
    kosticka_[tile]->setGeometry(twipsRect(place.left, place.top, width, height));
    accessibility::tileMoved(kosticka_[tile]);
}

void Form1::tileSlid(int tile)
{
    accessibility::tileSlid(kosticka_[tile], picture1_);
}

void Form1::newGameDealt()
{
    accessibility::newGame(picture1_);
}

QString Form1::moveText() const
{
    return label1_->caption();
}

void Form1::setMoveText(const QString& text)
{
    label1_->setCaption(text);
}

QString Form1::timeText() const
{
    return label2_->caption();
}

void Form1::setTimeText(const QString& text)
{
    label2_->setCaption(text);
}

void Form1::setClockRunning(bool running)
{
    // A click while the clock runs leaves its period alone: restarting it on
    // every click would hold the clock back for a player who clicks quickly.
    if (!running)
        timer1_.stop();
    else if (!timer1_.isActive())
        timer1_.start();
}

void Form1::focusStrip()
{
    picture1_->setFocus(Qt::OtherFocusReason);
}

void Form1::showResult(const QString& text)
{
    dialogs_.inform(this, text, QStringLiteral("Konec hry"));
}

void Form1::rankFinishedGame()
{
    Command3_Click();
}

bool Form1::yieldToEvents()
{
    // Before the window is first shown (the shuffle of Form_Load) nothing can
    // click, tick or press a key, and two hundred trips through the event
    // loop there would only delay the window.
    if (isVisible())
        QCoreApplication::processEvents();
    return !closing_;
}

// --- Event procedures -----------------------------------------------------

void Form1::Form_Click()
{
    dialogs_.beep();
}

void Form1::Kosticka_Click(std::int16_t index)
{
    game_.Kosticka_Click(index);
}

void Form1::Timer1_Timer()
{
    game_.Timer1_Timer();
}

void Form1::miRozhazej_Click()
{
    game_.miRozhazej_Click();
}

BestOfPanel* Form1::Picture2()
{
    // Built when first asked for: until F2 or a finished game nothing shows
    // it, and building its 25 controls cost the start about a million
    // instructions. It comes last among the surface's children, above the
    // rest, where showAtCorner() would raise it anyway.
    if (!picture2_) {
        picture2_ = new BestOfPanel(surface_, dialogs_, scoreFile_);
        // What the panel covers leaves the screen reader's picture while it is shown.
        picture2_->installEventFilter(this);
    }
    return picture2_;
}

void Form1::mnuBestOf_Click()
{
    Picture2()->showAtCorner();
    picture2_->Command2_Click();
}

void Form1::miKonec_Click()
{
    close();
}

void Form1::Command3_Click()
{
    Picture2()->Command3_Click(label2_->caption());
}

void Form1::mnu02_Click()
{
    dialogs_.inform(this, helpText(), QStringLiteral("Ovládání"));
}

void Form1::mnu05_Click()
{
    dialogs_.inform(this, aboutText(), QStringLiteral("O aplikaci"));
}

void Form1::closeEvent(QCloseEvent* event)
{
    // A shuffle that yields to the event loop sees this and stops before its
    // next move; nothing is asked and nothing is saved.
    closing_ = true;
    timer1_.stop();
    QMainWindow::closeEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose)
        centreInFrameOnce();
    if (watched == picture2_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        accessibility::coverChanged(this);
    // A click on the window's own surface: in play, the free cell, since the
    // tiles and the strip cover the rest and take their own clicks.
    if (watched == surface_) {
        if (event->type() == QEvent::MouseButtonPress) {
            pressedOnSurface_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
            return pressedOnSurface_;
        }
        if (event->type() == QEvent::MouseButtonRelease && pressedOnSurface_) {
            pressedOnSurface_ = false;
            if (surface_->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
                Form_Click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace tavlin
