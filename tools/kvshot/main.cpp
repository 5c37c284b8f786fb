// Saves a picture of the whole screen of the current display: used by the
// demo script to show what the panel looks like when it runs headless.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>
#include <QTimer>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: kvshot OUT.png [delay-ms]\n";
        return 2;
    }
    const QString out = args.at(1);
    const int delay = args.size() > 2 ? args.at(2).toInt() : 0;
    int result = 1;
    QTimer::singleShot(delay, [&] {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (screen && screen->grabWindow(0).save(out))
            result = 0;
        else
            QTextStream(stderr) << "kvshot: could not grab the screen into " << out << "\n";
        app.quit();
    });
    app.exec();
    return result;
}
