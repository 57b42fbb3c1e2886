#ifndef TRANSLATION_H
#define TRANSLATION_H

#include <QObject>
#include <QTranslator>

// Owns the translator of the imported translation.
class Translation : public QObject
{
    Q_OBJECT

public:
    explicit Translation(QObject* parent = nullptr) : QObject(parent) {}

    // Loads and installs "translation.qm" of the resource folder when there is one.
    void setup();

private:
    QTranslator translator;
};

#endif
