#include "library/xmlhandler.h"

#include <QXmlStreamReader>

#include <iterator>

namespace {

// The builder files nest a dozen elements deep; a document nested far deeper
// is not one of them, and its paths would only grow without use.
const int maxDepth = 256;

}

bool XmlHandler::parse(const QByteArray& data, const QString& rootName)
{
    QXmlStreamReader reader(data);
    int depth = 0;
    bool going = true;
    while (going && !reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument:
            startDocument();
            break;
        case QXmlStreamReader::StartElement:
            depth++;
            going = depth <= maxDepth && (depth > 1 || reader.qualifiedName() == rootName)
                && startElement(reader.qualifiedName(), reader.attributes());
            break;
        case QXmlStreamReader::Characters:
            text += reader.text();
            hasText = true;
            break;
        case QXmlStreamReader::EndElement:
            going = flushText();
            endElement(reader.qualifiedName());
            depth--;
            break;
        case QXmlStreamReader::EndDocument:
            endDocument();
            break;
        default:
            // Comments, processing instructions, the DTD, and references to
            // external entities, which are never fetched.
            break;
        }
    }
    return going && !reader.hasError();
}

bool XmlHandler::xmlElement(const QString&, const QString&)
{
    return true;
}

int XmlHandler::firstWordKind(const QString& text, const QList<QPair<const char*, int>>& words, int none)
{
    for (const auto& word : words)
        if (text.contains(QLatin1String(word.first), Qt::CaseInsensitive))
            return word.second;
    return none;
}

bool XmlHandler::pathEndsWith(QStringView path, std::initializer_list<QLatin1String> parts)
{
    for (auto part = std::rbegin(parts); part != std::rend(parts); ++part) {
        if (!path.endsWith(*part))
            return false;
        path.chop(part->size());
    }
    return true;
}

void XmlHandler::pop(QStringView name)
{
    // Mostly the element opened last.
    const QStringView whole(path);
    if (whole.endsWith(u'/') && whole.chopped(1).endsWith(name)) {
        path.chop(name.size() + 1);
        return;
    }
    const qsizetype at = path.lastIndexOf(name.toString() + '/');
    path = at < 0 ? QString() : path.left(at);
}

bool XmlHandler::flushText()
{
    if (!hasText)
        return true;
    hasText = false;
    const QString whole = text;
    text.clear();
    return xmlElement(path, whole);
}

void XmlHandler::startDocument()
{
    path += QLatin1Char('/');
    start();
}

bool XmlHandler::startElement(QStringView qName, const QXmlStreamAttributes& attributes)
{
    if (!flushText())
        return false;
    path += qName;
    path += QLatin1Char('/');
    bool going = true;
    for (int i = 0; going && i < attributes.size(); i++) {
        const QStringView name = attributes[i].qualifiedName();
        path += name;
        going = xmlElement(path, attributes[i].value().toString());
        path.chop(name.size());
    }
    return going;
}

void XmlHandler::endElement(QStringView qName)
{
    if (readsEndOf(qName)) {
        // The path grows in place: no string is made for every element.
        path += QLatin1String("#end");
        xmlElement(path, QString());
        path.chop(4);
    }
    pop(qName);
}

void XmlHandler::endDocument()
{
    end();
    if (path.endsWith(QLatin1Char('/')))
        path.chop(1);
}
