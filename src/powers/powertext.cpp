// The power-program text: a power's header values and steps as name=value lines.

#include <QSet>

#include <iterator>
#include <memory>

#include "foundation/attrtext.h"
#include "powers/power.h"
#include "powers/powerfields.h"

namespace {

// Indexed by Power::StepType.
const char* const stepKeys[] = {"hit-step", "miss-step", "effect-step"};
const char* const targetKeys[] = {"hit-targets", "miss-targets", "effect-targets"};

class FieldWriter : public PowerFields
{
public:
    explicit FieldWriter(AttrWriter& writer) : writer(writer) {}

    void field(const char* key, bool atDefault, const std::function<QString()>& get,
               const std::function<void(const QString&)>&) override
    {
        if (!atDefault)
            writer.addStringValue(key, get());
    }

private:
    AttrWriter& writer;
};

// Hands one line to the field it names.
class FieldReader : public PowerFields
{
public:
    FieldReader(const QString& key, const QString& value) : key(key), value(value) {}

    void field(const char* name, bool, const std::function<QString()>&,
               const std::function<void(const QString&)>& set) override
    {
        if (!found && key == QLatin1String(name)) {
            found = true;
            set(value);
        }
    }

    bool found = false;

private:
    QString key;
    QString value;
};

class KeyCollector : public PowerFields
{
public:
    void field(const char* key, bool, const std::function<QString()>&,
               const std::function<void(const QString&)>&) override
    {
        keys.insert(QString(key));
    }

    QSet<QString> keys;
};

// The keys of every kind of step.
bool isStepKey(const QString& key)
{
    static const QSet<QString> keys = [] {
        KeyCollector collector;
        for (int kind = PowerStep::Healing; kind <= PowerStep::EndCondition; kind++)
            std::unique_ptr<PowerStep>(PowerStep::create(kind))->fields(collector);
        return collector.keys;
    }();
    return keys.contains(key);
}

int stepListOf(const QString& key)
{
    for (int type = Power::Hit; type <= Power::Effect; type++)
        if (key == QLatin1String(stepKeys[type]))
            return type;
    return -1;
}

// The header values of a power, each against its value in reference.
void headerFields(PowerFields& fields, int& status, PowerData& current, const PowerData& reference)
{
    fields.field("user", status != CreaturePower::UserPower, [] { return QString("yes"); },
                 [&](const QString& text) {
                     if (text == "yes")
                         status = CreaturePower::UserPower;
                 });
    fields.text("header", current.header, reference.header);
    fields.text("flavor", current.flavor, reference.flavor);
    fields.number("power-type", current.type, reference.type);
    fields.number("when", current.when, reference.when);
    fields.number("cost", current.cost, reference.cost);
    for (int type = Power::Hit; type <= Power::Effect; type++) {
        ApplyToRecord& record = current.applyTo[type];
        fields.field(targetKeys[type], record == reference.applyTo[type],
                     [&] { return QString("%1,%2,%3").arg(record.kind).arg(record.from).arg(record.to); },
                     [&](const QString& text) {
                         const QStringList parts = text.split(',');
                         bool ok[3] = {};
                         const ApplyToRecord read{parts.value(0).toInt(&ok[0]), parts.value(1).toInt(&ok[1]),
                                                  parts.value(2).toInt(&ok[2])};
                         if (parts.size() == 3 && ok[0] && ok[1] && ok[2])
                             record = read;
                     });
    }
}

}

void PowerFields::number(const char* key, int& value, int fallback)
{
    field(key, value == fallback, [&] { return QString::number(value); },
          [&](const QString& text) {
              bool ok = false;
              const int read = text.toInt(&ok);
              if (ok)
                  value = read;
          });
}

void PowerFields::flag(const char* key, bool& value)
{
    field(key, !value, [&] { return QString(value ? "yes" : "no"); },
          [&](const QString& text) {
              if (text == "yes" || text == "no")
                  value = text == "yes";
          });
}

void PowerFields::text(const char* key, QString& value, const QString& fallback)
{
    field(key, value == fallback, [&] { return value; }, [&](const QString& text) { value = text; });
}

void PowerProgram::write(AttrWriter& writer) const
{
    FieldWriter fields(writer);
    for (int type = Power::Hit; type <= Power::Effect; type++) {
        for (PowerStep* step : lists[type]) {
            writer.addStringValue(stepKeys[type], PowerStep::typeToText(step->type()));
            step->fields(fields);
        }
    }
}

QByteArray CreaturePower::getPowerProgram(const char* lineEnd, bool action) const
{
    AttrWriter writer(lineEnd);
    writer.addStringValue(action ? "action" : "power", name);
    // A user power is read back into an empty power, not onto imported values.
    const PowerData reference = status == UserPower ? PowerData() : base;
    // Writing leaves the values as they are.
    int writtenStatus = status;
    PowerData written = current;
    FieldWriter fields(writer);
    headerFields(fields, writtenStatus, written, reference);
    if (current.description != reference.description) {
        // A cleared description is one empty line.
        for (const QString& line : current.description.isEmpty() ? QStringList{QString()} : current.description)
            writer.addStringValue("description", line);
    }
    program.write(writer);
    return writer.getBytes();
}

void CreaturePower::loadPower(AttrParser& parser)
{
    PowerStep* step = nullptr;
    bool firstDescription = true;
    while (parser.nextAttr()) {
        const QString key = parser.attrName();
        const QString value = parser.attrValue();
        FieldReader reader(key, value);
        headerFields(reader, status, current, current);
        if (reader.found) {
            step = nullptr;
        } else if (key == "description") {
            if (firstDescription)
                current.description.clear();
            firstDescription = false;
            current.description.append(value);
            step = nullptr;
        } else if (const int type = stepListOf(key); type >= 0) {
            // An unknown kind is skipped with its values.
            step = program.addStep(PowerStep::Type(PowerStep::textToType(value)), Power::StepType(type));
        } else if (isStepKey(key)) {
            // A value out of place is dropped, and the power read on.
            if (step)
                step->fields(reader);
        } else {
            parser.rewind();
            break;
        }
    }
    if (current.description == QStringList{QString()})
        current.description.clear();
}
