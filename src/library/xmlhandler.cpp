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
                && startElement(reader.qualifiedName().toString(), reader.attributes());
            break;
        case QXmlStreamReader::Characters:
            text += reader.text();
            hasText = true;
            break;
        case QXmlStreamReader::EndElement:
            going = flushText();
            endElement(reader.qualifiedName().toString());
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

void XmlHandler::pop(const QString& text)
{
    // Mostly the part pushed last.
    if (path.endsWith(text)) {
        path.chop(text.size());
        return;
    }
    int at = path.lastIndexOf(text);
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
    push("/");
    start();
}

bool XmlHandler::startElement(const QString& qName, const QXmlStreamAttributes& attributes)
{
    if (!flushText())
        return false;
    path += qName;
    path += QLatin1Char('/');
    bool going = true;
    for (int i = 0; going && i < attributes.size(); i++) {
        const QString name = attributes[i].qualifiedName().toString();
        push(name);
        going = xmlElement(path, attributes[i].value().toString());
        pop(name);
    }
    return going;
}

void XmlHandler::endElement(const QString& qName)
{
    // The path grows in place: no string is made for every element.
    path += QLatin1String("#end");
    xmlElement(path, QString());
    path.chop(4);
    pop(qName + "/");
}

void XmlHandler::endDocument()
{
    end();
    pop("/");
}
