#ifndef POWERFIELDS_H
#define POWERFIELDS_H

#include <QString>

#include <functional>

// The name=value lines of a power or a step, each bound to its field, so
// that one list of fields serves writing and reading alike.
class PowerFields
{
public:
    virtual ~PowerFields() = default;

    // A line is written only when its value differs from the fallback.
    void number(const char* key, int& value, int fallback = 0);
    void flag(const char* key, bool& value);
    void text(const char* key, QString& value, const QString& fallback = QString());
    // A keyword whose value 0 is the default.
    template <class E>
    void keyword(const char* key, E& value, QString (*toText)(E), E (*fromText)(const QString&, bool*))
    {
        field(key, value == E(0), [&] { return toText(value); },
              [&](const QString& text) {
                  bool ok = false;
                  E read = fromText(text, &ok);
                  if (ok)
                      value = read;
              });
    }

    // get gives the text to write; set takes a text read and leaves its
    // field alone when the text is malformed.
    virtual void field(const char* key, bool atDefault, const std::function<QString()>& get,
                       const std::function<void(const QString&)>& set) = 0;
};

#endif
