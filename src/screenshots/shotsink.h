#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

class QSplitter;
class QWidget;

// Gives a window the size and the splitter the shares they take when the
// window is first shown without a stored geometry, and makes it active.
void showAtFirstStartSize(QWidget* window, QSplitter* splitter);

// An empty folder of that name in the program's home, at the same path every
// run: a picture that shows it stays the same.
QString scratchFolder(const QString& name);

// The displays draw what changed, as at the main window's next refresh tick.
void refreshTick();

// Makes a window on the screen the active one, as the window the game master
// works in, and waits until the window system says so.
void bringToFront(QWidget* window);

// Writes the pictures of the screenshot program as FOLDER/NAME.png and
// remembers which could not be made (null, or a single colour).
class ShotSink
{
public:
    explicit ShotSink(const QString& folder);

    bool save(const QString& name, QWidget* widget);
    bool save(const QString& name, const QImage& image);
    // Runs show(), which opens a modal box, grabs the box and closes it.
    bool saveModal(const QString& name, const std::function<void()>& show);

    const QStringList& getFailures() const { return failures; }
    int getCount() const { return count; }

private:
    QString folder;
    QStringList failures;
    int count = 0;
};

// One family of pictures; a file registers its producers with a static
// ShotRegistration, so adding a window's pictures touches no other file.
using ShotProducer = void (*)(ShotSink&);

struct ShotRegistration
{
    ShotRegistration(const char* name, ShotProducer producer);
};

struct RegisteredShots
{
    const char* name;
    ShotProducer producer;
};

QList<RegisteredShots>& registeredShots();
