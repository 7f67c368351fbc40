// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The program as a desktop gets it: `cmake --install` puts each file where desktops look, the
// entry and metainfo pass their validators, and the .deb that CPack builds declares what it
// needs, passes lintian and, unpacked into a scratch folder, opens its window with its icon on
// an X server. The source tree states every file's licence.
#include <xcb/xcb.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "playfield/sprites.h"
#include "support/e2e.h"

namespace {

const QString kId = QStringLiteral("org.drenchwick.Drenchwick");
const int kIconSizes[] = {16, 32, 48, 64, 128};

struct Run {
    int code = -1;
    QString out;
};

Run run(const QString& program, const QStringList& args, int ms = 120000) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(10000)) {
        r.out = program + QStringLiteral(" did not start");
        return r;
    }
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished();
        r.out = program + QStringLiteral(" did not finish");
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAll());
    return r;
}

bool sameAsFramedBox(const QImage& loaded, int size) {
    const rt::PictureRef want = playfield::framedBoxIcon(size);
    const QImage img = loaded.convertToFormat(QImage::Format_RGB32);
    if (img.width() != want->width || img.height() != want->height) {
        return false;
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (img.pixel(x, y) != want->at(x, y)) {
                return false;
            }
        }
    }
    return true;
}

// The window's _NET_WM_ICON, as the sizes it holds and whether each is the framed box.
QMap<int, bool> windowIcons(unsigned long window) {
    QMap<int, bool> icons;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) {
        return icons;
    }
    xcb_connection_t* c = x11->connection();
    const QByteArray name("_NET_WM_ICON");
    xcb_intern_atom_reply_t* a = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 1, static_cast<uint16_t>(name.size()), name.constData()), nullptr);
    if (a == nullptr) {
        return icons;
    }
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c,
                               xcb_get_property(c, 0, static_cast<xcb_window_t>(window), a->atom,
                                                XCB_ATOM_CARDINAL, 0, 1 << 20),
                               nullptr);
    std::free(a);
    if (r == nullptr) {
        return icons;
    }
    const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r));
    const int n = xcb_get_property_value_length(r) / 4;
    // Each image: width, height, then width × height ARGB pixels.
    for (int i = 0; i + 2 <= n;) {
        const int w = static_cast<int>(v[i]);
        const int h = static_cast<int>(v[i + 1]);
        if (w <= 0 || h <= 0 || i + 2 + w * h > n) {
            break;
        }
        bool framed = w == h;
        if (framed) {
            const rt::PictureRef want = playfield::framedBoxIcon(w);
            for (int k = 0; k < w * h && framed; ++k) {
                framed = v[i + 2 + k] == want->pixels[static_cast<size_t>(k)];
            }
        }
        icons.insert(w, framed);
        i += 2 + w * h;
    }
    std::free(r);
    return icons;
}

}  // namespace

class PackageTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QVERIFY(scratch_.isValid());
        const Run install = run(QStringLiteral(CMAKE_COMMAND),
                                {QStringLiteral("--install"), QStringLiteral(BUILD_DIR),
                                 QStringLiteral("--prefix"), prefix()});
        QVERIFY2(install.code == 0, qPrintable(install.out));
        const Run pack =
            run(QStringLiteral(CPACK_COMMAND),
                {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                 QStringLiteral(BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"),
                 scratch_.filePath(QStringLiteral("pkg"))});
        QVERIFY2(pack.code == 0, qPrintable(pack.out));
        const QStringList debs = QDir(scratch_.filePath(QStringLiteral("pkg")))
                                     .entryList({QStringLiteral("*.deb")}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        deb_ = scratch_.filePath(QStringLiteral("pkg/") + debs.first());
    }

    void installPutsEachFileInItsStandardPlace() {
        const QFileInfo program(prefix() + QStringLiteral("/bin/drenchwick"));
        QVERIFY(program.isFile() && program.isExecutable());
        // /usr/games is the .deb's alone: a user's prefix keeps programs in bin/.
        QVERIFY(!QFileInfo::exists(prefix() + QStringLiteral("/games")));
        QVERIFY(QFileInfo::exists(desktopFile()));
        QVERIFY(QFileInfo::exists(metainfoFile()));
        for (int size : kIconSizes) {
            const QString png =
                prefix() +
                QStringLiteral("/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId);
            const QImage icon(png);
            QVERIFY2(!icon.isNull(), qPrintable(png));
            QVERIFY2(sameAsFramedBox(icon, size), qPrintable(png));
        }
    }

    void theDesktopEntryAndMetainfoPassTheirValidators() {
        const Run desktop = run(QStringLiteral("desktop-file-validate"), {desktopFile()});
        QVERIFY2(desktop.code == 0 && desktop.out.trimmed().isEmpty(), qPrintable(desktop.out));
        const Run meta =
            run(QStringLiteral("appstreamcli"),
                {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfoFile()});
        QVERIFY2(meta.code == 0, qPrintable(meta.out));
        // The entry starts the installed program and names the installed icon.
        QSettings entry(desktopFile(), QSettings::IniFormat);
        entry.beginGroup(QStringLiteral("Desktop Entry"));
        QCOMPARE(entry.value(QStringLiteral("Exec")).toString(), QStringLiteral("drenchwick"));
        QCOMPARE(entry.value(QStringLiteral("Icon")).toString(), kId);
        QVERIFY(
            entry.value(QStringLiteral("Categories")).toString().contains(QStringLiteral("Game")));
        QFile meta2(metainfoFile());
        QVERIFY(meta2.open(QIODevice::ReadOnly));
        const QByteArray xml = meta2.readAll();
        QVERIFY(xml.contains("<id>" + kId.toLatin1() + "</id>"));
        QVERIFY(xml.contains(">" + kId.toLatin1() + ".desktop</launchable>"));
    }

    void theDebDeclaresWhatItNeeds() {
        const Run info = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-I"), deb_});
        QVERIFY2(info.code == 0, qPrintable(info.out));
        QString depends;
        for (const QString& line : info.out.split(QLatin1Char('\n'))) {
            if (line.trimmed().startsWith(QStringLiteral("Depends:"))) {
                depends = line.trimmed().mid(8);
            }
        }
        QStringList names;
        for (const QString& d : depends.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            names << d.trimmed().section(QLatin1Char(' '), 0, 0);
        }
        // The libraries it links, the platform plugins it loads and the serif face it lays out in.
        for (const char* needed :
             {"libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6",
              "qt6-qpa-plugins", "qt6-wayland", "fonts-liberation2"}) {
            QVERIFY2(names.contains(QLatin1String(needed)),
                     qPrintable(QStringLiteral("%1 not in: %2").arg(needed, depends)));
        }
        // Every name is a real package: this machine has each one installed.
        for (const QString& n : names) {
            const Run q = run(QStringLiteral("dpkg-query"),
                              {QStringLiteral("-W"), QStringLiteral("-f=${Status}"), n});
            QVERIFY2(q.out.contains(QStringLiteral("install ok installed")), qPrintable(n));
        }
        const Run list = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), deb_});
        for (const QString& path :
             {QStringLiteral("./usr/games/drenchwick"),
              QStringLiteral("./usr/share/applications/%1.desktop").arg(kId),
              QStringLiteral("./usr/share/metainfo/%1.metainfo.xml").arg(kId),
              QStringLiteral("./usr/share/icons/hicolor/128x128/apps/%1.png").arg(kId)}) {
            QVERIFY2(list.out.contains(path), qPrintable(path));
        }
    }

    // Errors and warnings fail; the informational and pedantic tags are printed for the log.
    void lintianAcceptsTheDeb() {
        const Run lintian = run(QStringLiteral("lintian"),
                                {QStringLiteral("--display-info"), QStringLiteral("--pedantic"),
                                 QStringLiteral("--fail-on"), QStringLiteral("error,warning"),
                                 deb_});
        QVERIFY2(lintian.code == 0, qPrintable(lintian.out));
        qInfo().noquote() << lintian.out.trimmed();
    }

    void everySourceFileStatesItsLicence() {
        const Run reuse =
            run(QStringLiteral("reuse"),
                {QStringLiteral("--root"), QStringLiteral(SOURCE_DIR), QStringLiteral("lint")});
        QVERIFY2(reuse.code == 0, qPrintable(reuse.out));
    }

    void theUnpackedProgramOpensItsWindowWithItsIcon() {
        const QString root = scratch_.filePath(QStringLiteral("root"));
        const Run unpack = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb_, root});
        QVERIFY2(unpack.code == 0, qPrintable(unpack.out));
        e2e::Program game;
        QVERIFY(game.start(root + QStringLiteral("/usr/games/drenchwick")));
        const e2e::GameWindow window = e2e::waitForGameWindow(game.pid());
        QVERIFY2(window.id != 0, qPrintable(game.standardError()));
        const QMap<int, bool> icons = windowIcons(window.id);
        QVERIFY2(icons.value(16) && icons.value(32),
                 qPrintable(QStringLiteral("window icons: %1 sizes").arg(icons.size())));
        QVERIFY(e2e::sendCloseRequest(window.id));
        QVERIFY(game.waitForExit(10000));
        QVERIFY2(!game.crashed() && game.exitCode() == 0, qPrintable(game.standardError()));
    }

  private:
    QString prefix() const { return scratch_.filePath(QStringLiteral("installed")); }
    QString desktopFile() const {
        return prefix() + QStringLiteral("/share/applications/%1.desktop").arg(kId);
    }
    QString metainfoFile() const {
        return prefix() + QStringLiteral("/share/metainfo/%1.metainfo.xml").arg(kId);
    }

    QTemporaryDir scratch_;
    QString deb_;
};

E2E_MAIN(PackageTest)
#include "test_package.moc"
