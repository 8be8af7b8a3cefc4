// The release figures of the program on this machine, each the median of
// several runs (see bench/README.md for the references and how to read them):
//
//   start-up of the real program to its window shown and painted (X display)
//   opening a 6000 x 4000 JPEG to first paint of the picture box, beside djpeg
//   each filter from the click to "完成" in status bar part 0
//   saving at 185 x 185 and at 2000 x 2000
//   peak memory of a process showing the 6000 x 4000 picture
//   CPU per second of GIF playback (the player alone, and in the picture box)
//
//   tp_perf_runner [--runs N] [--only startup|memory|filters|save|jpeg|gif]
//                                      all figures (or one); start-up needs DISPLAY
//   tp_perf_runner --show-large FILE   the measured child of the memory figure

#include "app/main_window.h"
#include "bench/spawn.h"
#include "app/status_bar.h"
#include "filters/filter_canvas.h"
#include "picture/box/picture_box.h"
#include "picture/gif/gif_builder.h"
#include "picture/save/save_picture.h"
#include "runtime/controls.h"
#include "runtime/files.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#ifdef TP_RUNNER_HAS_XCB
#include <xcb/xcb.h>
#endif

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::vector<double> repeat(int runs, const std::function<double()>& once)
{
    std::vector<double> v;
    for (int i = 0; i < runs; ++i)
        v.push_back(once());
    return v;
}

pid_t spawn(const std::vector<std::string>& args, char** env = environ, int outFd = -1)
{
    return bench::spawnQuiet(args, env, outFd);
}

bool waitOk(pid_t pid)
{
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A program's whole output, or nothing when it fails.
std::string runForOutput(const std::vector<std::string>& args)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t pid = spawn(args, environ, fds[1]);
    close(fds[1]);
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        out.append(buf, std::size_t(n));
    close(fds[0]);
    return waitOk(pid) ? out : std::string();
}

// Every number that follows `"key": ` in a JSON text, in order.
std::vector<double> jsonNumbers(const std::string& json, const std::string& key)
{
    std::vector<double> v;
    const std::string needle = "\"" + key + "\": ";
    for (std::size_t at = json.find(needle); at != std::string::npos; at = json.find(needle, at + 1))
        v.push_back(std::strtod(json.c_str() + at + needle.size(), nullptr));
    return v;
}

// Runs the event loop for `ms` milliseconds, asleep while nothing happens
// (a busy loop would be counted as playback cost); 0 handles what is pending.
void pump(int ms = 0)
{
    if (ms <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

long vmHwmKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// ---- start-up -------------------------------------------------------------

#ifdef TP_RUNNER_HAS_XCB
struct StartupRun {
    double mappedMs = -1, paintedMs = -1;
};

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
}

std::uint32_t windowPid(xcb_connection_t* c, xcb_window_t w, xcb_atom_t pidAtom)
{
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    std::uint32_t pid = 0;
    if (r && xcb_get_property_value_length(r) >= 4)
        std::memcpy(&pid, xcb_get_property_value(r), 4);
    free(r);
    return pid;
}

// One pixel of a window, or ~0 when it cannot be read.
std::uint32_t pixelAt(xcb_connection_t* c, xcb_window_t w, int x, int y)
{
    xcb_get_image_reply_t* r = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, std::int16_t(x), std::int16_t(y), 1, 1, ~0u), nullptr);
    std::uint32_t p = ~0u;
    if (r && xcb_get_image_data_length(r) >= 4)
        std::memcpy(&p, xcb_get_image_data(r), 4);
    free(r);
    return p & 0xFFFFFF;
}

// Starts the program and watches the root window: "mapped" is its top-level
// window's MapNotify (found by _NET_WM_PID), "painted" the first moment from
// which a few sample pixels of the client area hold the colours they still
// have 1.5 s later, i.e. the first full paint reached the screen.
// One connection serves every run: the X server resets when its last client
// leaves, and a run must not meet a server in the middle of that.
StartupRun startupOnce(xcb_connection_t* c, const std::string& program, const std::string& home)
{
    StartupRun run;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t pidAtom = atom(c, "_NET_WM_PID");
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0 && std::strncmp(*e, "HOME=", 5) != 0)
            envText.emplace_back(*e);
    envText.push_back("QT_QPA_PLATFORM=xcb");
    envText.push_back("HOME=" + home);
    std::vector<char*> env;
    for (auto& s : envText)
        env.push_back(s.data());
    env.push_back(nullptr);

    const auto t0 = Clock::now();
    const pid_t pid = spawn({program}, env.data());
    if (pid < 0)
        return run;
    xcb_window_t window = 0;
    pollfd pfd{xcb_get_file_descriptor(c), POLLIN, 0};
    while (!window && msSince(t0) < 10000) {
        poll(&pfd, 1, 1);
        while (xcb_generic_event_t* ev = xcb_poll_for_event(c)) {
            if ((ev->response_type & 0x7F) == XCB_MAP_NOTIFY) {
                auto* m = reinterpret_cast<xcb_map_notify_event_t*>(ev);
                if (!window && !m->override_redirect && windowPid(c, m->window, pidAtom) == std::uint32_t(pid)) {
                    window = m->window;
                    run.mappedMs = msSince(t0);
                }
            }
            free(ev);
        }
    }
    if (window) {
        // Window background, status bar, picture box and a button.
        const int points[][2] = {{3, 3}, {200, 420}, {90, 100}, {570, 70}};
        struct Sample { double ms; std::vector<std::uint32_t> px; };
        std::vector<Sample> samples;
        const auto m0 = Clock::now();
        while (msSince(m0) < 1500) {
            Sample s{msSince(t0), {}};
            for (auto& p : points)
                s.px.push_back(pixelAt(c, window, p[0], p[1]));
            samples.push_back(std::move(s));
            usleep(500);
        }
        const auto& last = samples.back().px;
        std::size_t first = samples.size() - 1;
        while (first > 0 && samples[first - 1].px == last)
            --first;
        run.paintedMs = samples[first].ms;
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return run;
}
#endif

void reportStartup(const std::string& program, int runs)
{
#ifdef TP_RUNNER_HAS_XCB
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("start-up: skipped, no X display (run under xvfb-run)\n");
        return;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        std::printf("start-up: cannot connect to the X display\n");
        return;
    }
    QTemporaryDir home;
    std::vector<double> mapped, painted;
    startupOnce(c, program, home.path().toStdString()); // warms the file cache
    for (int i = 0; i < runs; ++i) {
        const StartupRun r = startupOnce(c, program, home.path().toStdString());
        if (r.paintedMs < 0) {
            std::printf("start-up: the program showed no window\n");
            xcb_disconnect(c);
            return;
        }
        mapped.push_back(r.mappedMs);
        painted.push_back(r.paintedMs);
    }
    xcb_disconnect(c);
    std::printf("start-up of %s (median of %d)\n", program.c_str(), runs);
    std::printf("  %-44s %8.1f ms\n", "to the window mapped", median(mapped));
    std::printf("  %-44s %8.1f ms   (reference 300 ms)\n", "to the window shown, first paint on screen", median(painted));
#else
    (void)program;
    (void)runs;
    std::printf("start-up: skipped, built without xcb\n");
#endif
}

// ---- the picture box and the main window -----------------------------------

picture::PictureBox* pictureBoxOf(app::MainWindow& w) { return w.controls().图片框1; }

void reportJpeg(app::MainWindow& w, const QString& file, int runs)
{
    picture::PictureBox* box = pictureBoxOf(w);
    const QByteArray keep = box->picture();
    const std::string path = file.toStdString();
    // Reading, decoding, scaling for the box and the paint, one after the other.
    std::vector<double> total, decode, paint;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        const QByteArray bytes = rt::readFileBytes(file);
        box->setPicture(bytes);
        const double set = msSince(t0);
        const auto t1 = Clock::now();
        box->client()->repaint();
        paint.push_back(msSince(t1));
        total.push_back(msSince(t0));
        decode.push_back(set);
        if (box->decodedPicture().width() != 6000)
            std::printf("  (the picture box did not take the JPEG: %s)\n", qPrintable(box->lastError()));
    }
    box->setPicture(keep);
    box->client()->repaint();
    std::vector<double> djpeg = repeat(runs, [&] {
        const auto t0 = Clock::now();
        return waitOk(spawn({"djpeg", "-outfile", "/dev/null", path})) ? msSince(t0) : -1.0;
    });
    const double ours = median(total), theirs = median(djpeg);
    std::printf("6000 x 4000 JPEG, %lld bytes (median of %d)\n", QFileInfo(file).size(), runs);
    std::printf("  %-44s %8.1f ms\n", "read + setPicture (decode)", median(decode));
    std::printf("  %-44s %8.1f ms\n", "first paint of the client area", median(paint));
    std::printf("  %-44s %8.1f ms\n", "open to first paint", ours);
    if (theirs > 0)
        std::printf("  %-44s %8.1f ms\n  %-44s %8.2f     (reference 1.3)\n", "djpeg -outfile /dev/null (own process)",
                    theirs, "ratio", ours / theirs);
    else
        std::printf("  djpeg failed or is missing (libjpeg-turbo-progs)\n");
}

void reportFilters(app::MainWindow& w, int runs)
{
    const app::Controls& c = w.controls();
    const std::pair<QPushButton*, const char*> buttons[] = {
        {c.按钮4, "按钮4 滤镜模糊"}, {c.按钮5, "按钮5 滤镜变暗"}, {c.按钮6, "按钮6 滤镜变黄"}, {c.按钮7, "按钮7 滤镜黑白"}};
    std::printf("filters, click to \"完成\" on the %d x %d picture box (median of %d)\n",
                pictureBoxOf(w)->client()->width(), pictureBoxOf(w)->client()->height(), runs);
    for (auto [button, name] : buttons) {
        std::vector<double> v = repeat(runs, [&] {
            rt::setStatusText(c.状态条1, 0, QString());
            pump();
            const auto t0 = Clock::now();
            QTest::mouseClick(button, Qt::LeftButton);
            while (c.状态条1->partText(0) != filters::kFilterDoneText && msSince(t0) < 10000)
                QCoreApplication::processEvents();
            const double ms = msSince(t0);
            QTest::mouseClick(c.按钮8, Qt::LeftButton); // 取消所有滤镜
            pump();
            return ms;
        });
        std::printf("  %-44s %8.1f ms   (reference 50 ms)\n", name, median(v));
    }
}

void reportSave(app::MainWindow& w, int runs)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    std::printf("saving what the picture box shows (median of %d)\n", runs);
    for (int side : {185, 2000}) {
        std::vector<double> v = repeat(runs, [&] {
            const auto t0 = Clock::now();
            const picture::SaveError e = picture::savePictureTo(pictureBoxOf(w), side, side, folder);
            return e == picture::SaveError::None ? msSince(t0) : -1.0;
        });
        std::printf("  %-44s %8.1f ms   (%lld bytes)\n", qPrintable(QStringLiteral("%1 x %1").arg(side)), median(v),
                    QFileInfo(folder + picture::savedFileName()).size());
    }
}

int showLarge(const QString& file)
{
    app::MainWindow w;
    w.show();
    pump(200);
    const long before = vmHwmKb();
    pictureBoxOf(w)->setPicture(rt::readFileBytes(file));
    pictureBoxOf(w)->client()->repaint();
    pump(200);
    const long after = vmHwmKb();
    if (pictureBoxOf(w)->decodedPicture().width() != 6000)
        return 1;
    std::printf("%ld %ld\n", before, after);
    return 0;
}

void reportMemory(const std::string& self, const QString& file, int runs)
{
    std::vector<double> before, after;
    for (int i = 0; i < runs; ++i) {
        const std::string out = runForOutput({self, "--show-large", file.toStdString()});
        long b = 0, a = 0;
        if (std::sscanf(out.c_str(), "%ld %ld", &b, &a) != 2) {
            std::printf("peak memory: the child failed\n");
            return;
        }
        before.push_back(double(b));
        after.push_back(double(a));
    }
    std::printf("peak memory (VmHWM) of a process showing the 6000 x 4000 JPEG (median of %d)\n", runs);
    std::printf("  %-44s %8.1f MB\n", "main window shown, before the picture", median(before) / 1024);
    std::printf("  %-44s %8.1f MB\n", "with the picture shown", median(after) / 1024);
}

// A 185 x 185 animation of 20 frames of 50 ms, the size of an avatar.
QByteArray avatarAnimation()
{
    std::vector<gif::Rgb> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[std::size_t(i)] = {std::uint8_t(255 - i), std::uint8_t(i / 2), std::uint8_t(i)};
    gif::GifBuilder b;
    b.screen(185, 185, palette).loop(0);
    for (int f = 0; f < 20; ++f) {
        gif::ImageBlock img;
        img.width = img.height = 185;
        img.pixels.resize(185 * 185);
        for (int y = 0; y < 185; ++y)
            for (int x = 0; x < 185; ++x)
                img.pixels[std::size_t(y * 185 + x)] = std::uint8_t((x * x + y * y) / 64 + f * 12);
        b.control(1, 5).image(img);
    }
    const auto& bytes = b.trailer().bytes();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

void reportGif(app::MainWindow& w, const std::string& gifBench, int runs)
{
    std::printf("GIF playback, CPU time per second played (median of %d)\n", runs);
    const std::string json = runForOutput({gifBench, "--benchmark_filter=BM_PlayTenSeconds",
                                           "--benchmark_repetitions=" + std::to_string(runs),
                                           "--benchmark_format=json"});
    std::vector<double> player = jsonNumbers(json, "cpu_ms_per_s");
    player.resize(std::min<std::size_t>(player.size(), std::size_t(runs))); // the runs, not the aggregates
    if (!player.empty())
        std::printf("  %-44s %8.1f ms/s\n", "player alone, 500 x 500, 50 fps (bench/gif)", median(player));
    else
        std::printf("  bench/gif did not run\n");

    picture::PictureBox* box = pictureBoxOf(w);
    const QByteArray keep = box->picture();
    box->setPicture(avatarAnimation());
    pump(500);
    std::vector<double> inBox = repeat(runs, [&] {
        const double cpu0 = processCpuSeconds();
        const auto t0 = Clock::now();
        pump(3000);
        return 1000.0 * (processCpuSeconds() - cpu0) / (msSince(t0) / 1000.0);
    });
    box->setPicture(keep);
    std::printf("  %-44s %8.1f ms/s\n", "in the picture box, 185 x 185, 20 fps", median(inBox));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--show-large") == 0)
        return showLarge(QString::fromLocal8Bit(argv[2]));
    int runs = 7;
    std::string only;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--only") == 0)
            only = argv[++i];
    }
    const auto wanted = [&](const char* part) { return only.empty() || only == part; };
    const std::string self = QCoreApplication::applicationFilePath().toStdString();

    if (wanted("startup"))
        reportStartup(TP_RUNNER_PROGRAM, runs);
    if (only == "startup")
        return 0;

    QTemporaryDir scratch;
    const QString jpeg = scratch.path() + QStringLiteral("/6000x4000.jpg");
    if (!waitOk(spawn({TP_RUNNER_DECODERS_BENCH, "--make-jpeg", jpeg.toStdString()}))) {
        std::printf("could not make the 6000 x 4000 JPEG with %s\n", TP_RUNNER_DECODERS_BENCH);
        return 1;
    }
    // Measured before this process grows, in a process of its own.
    if (wanted("memory"))
        reportMemory(self, jpeg, runs);

    // The main window as the program shows it, start picture and overlay in place.
    QDir::setCurrent(scratch.path());
    app::MainWindow w;
    w.show();
    pump(300);
    if (wanted("filters"))
        reportFilters(w, runs);
    if (wanted("save"))
        reportSave(w, runs);
    if (wanted("jpeg"))
        reportJpeg(w, jpeg, runs);
    if (wanted("gif"))
        reportGif(w, TP_RUNNER_GIF_BENCH, std::min(runs, 3));
    return 0;
}
