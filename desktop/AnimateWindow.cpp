#include "desktop/AnimateWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "desktop/MovieGif.h"
#include "session/Ask.h"
#include "session/Errors.h"
#include "session/TextFiles.h"
#include "waves/MovieSpan.h"

namespace vk {

namespace {

constexpr double Speeds[] = {0.25, 0.5, 1.0, 2.0, 4.0, 8.0};
constexpr int RealTime = 2;  // 1x

}  // namespace

// Shows the canvas the frames are drawn on; a new size lays the movie out anew.
class AnimateWindow::Picture : public QWidget {
public:
    explicit Picture(AnimateWindow* owner) : QWidget(owner), owner_(owner) {
        setObjectName("MoviePicture");
        setMinimumSize(300, 300);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        setFocusPolicy(Qt::StrongFocus);
    }
    QSize sizeHint() const override { return {500, 500}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, owner_->canvas_.image());
    }
    void resizeEvent(QResizeEvent*) override {
        if (owner_->isVisible()) owner_->rebuild();
    }

private:
    AnimateWindow* owner_;
};

AnimateWindow::AnimateWindow(QWidget* parent, Ctx& ctx) : QDialog(parent), ctx_(ctx) {
    setObjectName("AnimateForm");
    setWindowTitle("Animate");
    build();
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1000 / TicksPerSecond);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(static_cast<double>(clock_.nsecsElapsed()) / 1e6); });
    followTimer_.setInterval(250);
    connect(&followTimer_, &QTimer::timeout, this, [this] { follow(); });
}

AnimateWindow::~AnimateWindow() = default;

void AnimateWindow::build() {
    auto* layout = new QVBoxLayout(this);
    picture_ = new Picture(this);
    layout->addWidget(picture_, 1);

    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName("TimeSlider");
    slider_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(slider_);
    connect(slider_, &QSlider::valueChanged, this, [this](int k) {
        if (k == frame_) return;
        // Playing goes on from where the slider was put.
        showFrame(k);
        if (playing()) setPlaying(true);
    });

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const char* text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setFocusPolicy(Qt::NoFocus);
        buttons->addWidget(b);
        return b;
    };
    back_ = button("BackButton", "<");
    play_ = button("PlayButton", "Play");
    forward_ = button("ForwardButton", ">");
    connect(back_, &QPushButton::clicked, this, [this] { step(-1); });
    connect(play_, &QPushButton::clicked, this, [this] { setPlaying(!playing()); });
    connect(forward_, &QPushButton::clicked, this, [this] { step(1); });

    buttons->addWidget(new QLabel("Speed", this));
    speed_ = new QComboBox(this);
    speed_->setObjectName("SpeedBox");
    speed_->setFocusPolicy(Qt::NoFocus);
    for (const double s : Speeds) speed_->addItem(QString::number(s) + "x");
    speed_->setCurrentIndex(RealTime);
    buttons->addWidget(speed_);
    connect(speed_, &QComboBox::currentIndexChanged, this, [this] {
        if (playing()) setPlaying(true);
    });
    auto spin = [&](const char* name, const char* label, int value, int max) {
        buttons->addWidget(new QLabel(label, this));
        auto* b = new QSpinBox(this);
        b->setObjectName(name);
        b->setRange(1, max);
        b->setValue(value);
        b->setSuffix(" ms");
        b->setFocusPolicy(Qt::ClickFocus);
        buttons->addWidget(b);
        // Space and the arrows go back to the player once a value is entered.
        connect(b, &QSpinBox::editingFinished, picture_, [this] { picture_->setFocus(); });
        connect(b, &QSpinBox::valueChanged, this, [this] {
            if (isVisible()) rebuild();
        });
        return b;
    };
    trail_ = spin("TrailBox", "Trail", settings_.trail, 3600000);
    step_ = spin("StepBox", "Step", settings_.step, 3600000);
    loop_ = new QCheckBox("Loop", this);
    loop_->setObjectName("LoopBox");
    loop_->setFocusPolicy(Qt::NoFocus);
    loop_->setChecked(true);
    buttons->addWidget(loop_);
    buttons->addStretch(1);
    save_ = button("SaveGifButton", "Save as GIF...");
    connect(save_, &QPushButton::clicked, this, [this] { saveGif(); });
    layout->addLayout(buttons);

    auto key = [this](Qt::Key k, std::function<void()> f) {
        auto* s = new QShortcut(QKeySequence(k), this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, std::move(f));
    };
    key(Qt::Key_Space, [this] { setPlaying(!playing()); });
    key(Qt::Key_Left, [this] { step(-1); });
    key(Qt::Key_Right, [this] { step(1); });
}

void AnimateWindow::open() {
    const SessionState& s = ctx_.s;
    if (s.NrColumns < 1 || s.NrRows < 1) {
        ctx_.host.information("The movie needs an electrode matrix.");
        return;
    }
    const MovieSpan span = MovieSpanOfPanelA(s);
    settings_.begin = span.begin;
    settings_.window = std::max(1, span.window);
    // A step that would make more frames than a movie holds is raised.
    step_->setMinimum(static_cast<int>(std::max<int64_t>(1, span.window / MaxMovieFrames + 1)));
    setPlaying(false);
    movie_.reset();
    frame_ = 0;
    show();
    raise();
    activateWindow();
    rebuild();
    showFrame(0);
    followTimer_.start();
    picture_->setFocus();
}

void AnimateWindow::rebuild() {
    SessionState& s = ctx_.s;
    if (s.NrColumns < 1 || s.NrRows < 1) return;
    settings_.trail = trail_->value();
    settings_.step = step_->value();
    settings_.markType = s.CurrentMarkType[1] >= 1 ? s.CurrentMarkType[1] : SlowWave;
    followedType_ = s.CurrentMarkType[1];
    followedRef_ = s.RefTime;
    followedWidth_ = s.IsochroneWidth;
    const int w = std::max(1, picture_->width()), h = std::max(1, picture_->height());
    if (canvas_.image().size() != QSize(w, h)) canvas_.resize(w, h);
    // A new step keeps the time shown.
    const int64_t shown = movie_ ? movie_->frameTime(frame_) : settings_.begin;
    movie_ = std::make_unique<Movie>(s, settings_, w, h, canvas_);
    drawn_ = -1;
    const QSignalBlocker quiet(slider_);
    slider_->setRange(0, movie_->frames() - 1);
    showFrame(static_cast<int>(std::min<int64_t>((shown - settings_.begin) / settings_.step, movie_->frames() - 1)));
    if (playing()) setPlaying(true);
}

void AnimateWindow::follow() {
    const SessionState& s = ctx_.s;
    if (s.CurrentMarkType[1] != followedType_ || s.RefTime != followedRef_ || s.IsochroneWidth != followedWidth_) rebuild();
}

void AnimateWindow::showFrame(int k) {
    if (!movie_) return;
    frame_ = std::clamp(k, 0, movie_->frames() - 1);
    canvas_.beginDraw();
    movie_->drawFrame(canvas_, frame_, drawn_);
    drawn_ = frame_;
    canvas_.endDraw();
    {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(frame_);
    }
    picture_->update();
}

void AnimateWindow::setPlaying(bool on) {
    if (!on || !movie_) {
        timer_.stop();
        play_->setText("Play");
        return;
    }
    // Played to its end without looping: from the start again.
    if (!loop_->isChecked() && frame_ == movie_->frames() - 1) showFrame(0);
    startFrame_ = frame_;
    clock_.restart();
    timer_.start();
    play_->setText("Pause");
}

void AnimateWindow::tick(double elapsedMs) {
    if (!movie_) return;
    const int k = PlaybackFrame(movie_->frames(), settings_.step, startFrame_, elapsedMs, speed(), loop_->isChecked());
    if (k != frame_) showFrame(k);
    if (!loop_->isChecked() && k == movie_->frames() - 1) setPlaying(false);
}

void AnimateWindow::step(int by) {
    setPlaying(false);
    showFrame(frame_ + by);
}

double AnimateWindow::speed() const { return Speeds[std::clamp(speed_->currentIndex(), 0, 5)]; }

void AnimateWindow::saveGif() {
    if (!movie_) return;
    setPlaying(false);
    std::string proposed = namePart(ctx_.s.FileName);
    proposed = (proposed.empty() ? std::string("movie") : proposed.substr(0, proposed.find('.'))) + ".gif";
    const auto choice = ctx_.host.saveFile("Save as GIF", {{"GIF files", "*.gif"}}, proposed);
    if (!choice) return;
    // Each frame for its step of movie time at the chosen speed; a viewer
    // shows nothing faster than 20 ms.
    const auto delay = static_cast<int>(std::max(2.0, std::nearbyint(settings_.step / (10.0 * speed()))));
    runCommand(ctx_, [&] { WriteMovieGif(*movie_, choice->path, delay); });
}

void AnimateWindow::hideEvent(QHideEvent* event) {
    setPlaying(false);
    followTimer_.stop();
    QDialog::hideEvent(event);
}

void OpenAnimateWindow(QWidget* parent, Ctx& ctx) {
    auto* w = parent->findChild<AnimateWindow*>("AnimateForm", Qt::FindDirectChildrenOnly);
    if (!w) w = new AnimateWindow(parent, ctx);
    w->open();
}

}  // namespace vk
