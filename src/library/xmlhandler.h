#ifndef XMLHANDLER_H
#define XMLHANDLER_H

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringView>

#include <initializer_list>

class QXmlStreamAttributes;

// Walks an XML document as a flat sequence of values, each at its path: the
// element names from the root down, each followed by "/" (the text of Name
// inside Monster comes at "/Monster/Name/"), an attribute's name without a
// slash, and every element's end as its path followed by "#end". Readers of
// a file format only match the paths they care about, mostly by their ending.
class XmlHandler
{
public:
    virtual ~XmlHandler() = default;

    // Runs the whole document through the handler. False when it is not
    // well-formed, its root is not the one named, it nests deeper than any
    // file of ours, or a text or attribute value was refused; what the
    // handler gathered is then of no use.
    bool parse(const QByteArray& data, const QString& rootName);

    virtual void start() {}
    virtual void end() {}
    // One value at one path; false stops the document (ignored for "#end").
    virtual bool xmlElement(const QString& path, const QString& value);
    // Whether the ends of elements of this name are passed on: most readers
    // need few of them, and a builder file ends hundreds of elements.
    virtual bool readsEndOf(QStringView) const { return true; }
    virtual void setError(const QString& message) { error = message; }
    virtual QString errorString() const { return error; }

    QString getPath() const { return path; }

protected:
    // The kind paired with the first of the words that the text holds,
    // ignoring case; none when it holds none of them.
    static int firstWordKind(const QString& text, const QList<QPair<const char*, int>>& words, int none);
    // Whether the path ends with the parts one after another; nothing is
    // allocated, as every value of a builder file asks this many times.
    static bool pathEndsWith(QStringView path, std::initializer_list<QLatin1String> parts);

private:
    // Takes the element's name and its slash off the end of the path.
    void pop(QStringView name);
    // A text comes whole: its pieces (around entities, CDATA sections,
    // comments) are joined up to the next child element or the end.
    bool flushText();

    void startDocument();
    bool startElement(QStringView qName, const QXmlStreamAttributes& attributes);
    void endElement(QStringView qName);
    void endDocument();

    QString path;
    QString error;
    QString text;
    bool hasText = false;
};

#endif
