// Map > "Animate...": the propagation movie played in a window of its own,
// over panel A's time window (or, in wave mode 1, the wave panel A shows).
//
// Play/pause (Space), a frame back or forward (Left/Right), a time slider,
// the speed (0.25x to 8x of real time), the trail and the step, looping,
// and "Save as GIF...". The movie follows panel A's mark type, RefTime and
// isochrone width while the window is open. A timer ticks 30 times a
// second and shows the frame that real time has reached, drawn from the
// per-cell data the movie prepared; nothing in the session changes.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

#include "desktop/QtCanvas.h"
#include "maps/Movie.h"
#include "session/Context.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSlider;
class QSpinBox;

namespace vk {

class AnimateWindow : public QDialog {
    Q_OBJECT
public:
    AnimateWindow(QWidget* parent, Ctx& ctx);
    ~AnimateWindow() override;

    // Shows the window over the current window of panel A, paused at its
    // first frame; says why instead when there is no matrix.
    void open();

    int frame() const { return frame_; }
    bool playing() const { return timer_.isActive(); }
    const Movie* movie() const { return movie_.get(); }
    const QImage& picture() const { return canvas_.image(); }
    // One tick of the player, `elapsedMs` after playing started.
    void tick(double elapsedMs);

    static constexpr int TicksPerSecond = 30;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    class Picture;

    void build();
    // A new movie from the session and the controls, on the picture's size;
    // stays on the same frame number where it can.
    void rebuild();
    void showFrame(int k);
    void setPlaying(bool on);
    void step(int by);
    void saveGif();
    double speed() const;
    // Rebuilds when panel A's mark type, RefTime or isochrone width changed.
    void follow();

    Ctx& ctx_;
    MovieSettings settings_;
    std::unique_ptr<Movie> movie_;
    QtCanvas canvas_;
    int frame_ = 0;
    int drawn_ = -1;  // the frame the canvas holds, -1 for none
    int startFrame_ = 0;
    QTimer timer_, followTimer_;
    QElapsedTimer clock_;
    int followedType_ = 0, followedRef_ = 0, followedWidth_ = 0;

    Picture* picture_ = nullptr;
    QPushButton *play_ = nullptr, *back_ = nullptr, *forward_ = nullptr, *save_ = nullptr;
    QSlider* slider_ = nullptr;
    QComboBox* speed_ = nullptr;
    QSpinBox *trail_ = nullptr, *step_ = nullptr;
    QCheckBox* loop_ = nullptr;
};

// Map > "Animate...": the window, made on first use as a child of `parent`.
void OpenAnimateWindow(QWidget* parent, Ctx& ctx);

}  // namespace vk
