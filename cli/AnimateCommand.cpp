// "vorelkant-cli animate": the propagation movie of a time window written
// as an animated GIF, its frames drawn with the desktop program's Qt canvas.
// Built with the desktop program only.

#include <unistd.h>

#include <string>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/Render.h"
#include "desktop/MovieGif.h"
#include "maps/Movie.h"
#include "session/Errors.h"
#include "session/RecordingFiles.h"
#include "session/TextFiles.h"

namespace vk::cli {

void addAnimate(CLI::App& app, Tool& tool) {
    struct Options {
        MovieSettings movie;
        int type = SlowWave, ref = 0, isoWidth = 0, fps = 20, width = 500, height = 500;
        std::string out;
        CLI::Option *refOption = nullptr, *isoOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "animate", "write the propagation movie of a time window as an animated GIF", [o](Ctx& ctx) {
            SessionState& s = ctx.s;
            requireMatrix(s);
            MovieSettings m = o->movie;
            m.markType = o->type;
            if (m.step > m.window) fail("--step must not be larger than --window");
            const int64_t frames = MovieFrameCount(m);
            if (frames > MaxMovieFrames)
                fail(std::to_string(frames) + " frames: at most " + std::to_string(MaxMovieFrames) +
                     " are written; give a larger --step");
            if (o->refOption->count()) s.RefTime = o->ref;
            if (o->isoOption->count()) s.IsochroneWidth = o->isoWidth;
            if (s.IsochroneWidth < 1) s.IsochroneWidth = 500;
            try {
                // A movie never replaces the recording, its marks or its connections,
                // and a folder that takes no file is known before any frame is drawn.
                RefuseRecordingFiles(s, o->out);
                const std::string folder = folderPart(o->out);
                if (::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0)
                    throw IoError(o->out, "the folder cannot be written to");
            } catch (const IoError& e) {
                fail(e.what());
            }

            const OffscreenQt qt;  // text needs a Qt application
            QtCanvas measure;
            const Movie movie(s, m, o->width, o->height, measure);
            if (movie.cellWidth() < 1) fail("--width and --height leave no room for the grid");
            try {
                WriteMovieGif(movie, o->out, GifDelayFor(o->fps));
            } catch (const IoError& e) {
                fail(e.what());
            }
            std::cout << "Frames=" << movie.frames() << "\nCellWidth=" << movie.cellWidth()
                      << "\nMapLeft=" << movie.mapLeft() << "\nMapTop=" << movie.mapTop() << "\nBase=" << movie.base()
                      << "\n";
        });
    sub->add_option("--begin", o->movie.begin, "time of the first frame (ms)")->required()->check(WholeNonNegative);
    sub->add_option("--window", o->movie.window, "length of the movie (ms)")->required()->check(WholePositive);
    sub->add_option("--step", o->movie.step, "ms between frames (default 50)")->check(WholePositive);
    sub->add_option("--trail", o->movie.trail, "ms a mark keeps its cell coloured (default 1000)")->check(WholePositive);
    addTypeOption(sub, o->type, "mark type shown (default 1)");
    o->refOption = sub->add_option("--ref", o->ref, "reference time (ms) subtracted from the times")->check(WholeNonNegative);
    o->isoOption = sub->add_option("--isowidth", o->isoWidth, "width of the colour bands (ms, default 500)")->check(WholePositive);
    sub->add_option("--fps", o->fps, "frames per second (1..100, default 20)")->check(wholeIn(1, 100));
    sub->add_option("--width", o->width, "frame width in pixels (default 500)")->check(wholeIn(50, 4000));
    sub->add_option("--height", o->height, "frame height in pixels (default 500)")->check(wholeIn(50, 4000));
    sub->add_option("--out", o->out, "GIF file written")->required();
}

}  // namespace vk::cli
