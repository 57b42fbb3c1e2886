#include "powers/powerstep.h"

#include <QRegularExpression>

#include <iterator>

#include "creature/creature.h"
#include "foundation/global.h"
#include "foundation/saturating.h"
#include "powers/powerfields.h"

namespace {

template <class Step>
PowerStep* make()
{
    return new Step;
}

struct KindInfo
{
    const char* keyword;
    PowerStep* (*make)();
};

// Indexed by PowerStep::Type.
const KindInfo kinds[] = {
    {"", nullptr},
    {"healing", make<HealingStep>},
    {"damage", make<DamageStep>},
    {"condition", make<ConditionStep>},
    {"ongoing", make<OnGoingStep>},
    {"bonus", make<BonusStep>},
    {"resistance", make<ResistanceStep>},
    {"use-resource", make<UseResourceStep>},
    {"end-condition", make<EndConditionStep>},
};

const char* const resourceKeywords[] = {"action-point", "second-wind"};

PowerStepEditor::Factory editorFactory = nullptr;

bool isKind(int kind)
{
    return kind > 0 && kind < int(std::size(kinds));
}

}

PowerStep::~PowerStep() = default;

void PowerStep::setEditorFactory(PowerStepEditor::Factory factory)
{
    editorFactory = factory;
}

PowerStepEditor* PowerStep::getEditor()
{
    if (!editor && editorFactory)
        editor.reset(editorFactory(this));
    return editor.get();
}

QLayout* PowerStep::getLayout(StepListWidget* list, EffectCreatures* creatures)
{
    return getEditor() ? editor->getLayout(list, creatures) : nullptr;
}

QToolButton* PowerStep::getUpButton()
{
    return editor ? editor->getUpButton() : nullptr;
}

QToolButton* PowerStep::getDownButton()
{
    return editor ? editor->getDownButton() : nullptr;
}

void PowerStep::upClicked()
{
    if (editor)
        editor->upClicked();
}

void PowerStep::downClicked()
{
    if (editor)
        editor->downClicked();
}

void PowerStep::deleteClicked()
{
    if (editor)
        editor->deleteClicked();
}

void PowerStep::effectControlChanged(int what)
{
    if (editor)
        editor->effectControlChanged(what);
}

void PowerStep::setTabOrder(TabHandler* handler)
{
    if (editor)
        editor->setTabOrder(handler);
}

void PowerStep::setDefaultFocus()
{
    if (editor)
        editor->setDefaultFocus();
}

bool PowerStep::hasFocus()
{
    return editor && editor->hasFocus();
}

void PowerStep::setGoOrder(GoHandler* handler)
{
    if (editor)
        editor->setGoOrder(handler);
}

void PowerStep::showValues()
{
    if (editor)
        editor->showValues();
}

PowerStep* PowerStep::create(int kind)
{
    return isKind(kind) ? kinds[kind].make() : nullptr;
}

QString PowerStep::typeToText(Type kind)
{
    return isKind(kind) ? QString(kinds[kind].keyword) : QString();
}

int PowerStep::textToType(const QString& text)
{
    for (int kind = 1; kind < int(std::size(kinds)); kind++)
        if (text == QLatin1String(kinds[kind].keyword))
            return kind;
    return 0;
}

int HealingStep::healingFor(Creature* target) const
{
    return surges < 0 ? Saturating::difference(hitPoints, qint64(surges) * target->getSurgeValue()) : hitPoints;
}

void HealingStep::fields(PowerFields& fields)
{
    fields.number("heal", hitPoints);
    fields.number("surges", surges);
    fields.number("temp-hp", tempHitPoints);
    fields.flag("stabilize", stabilize);
}

int DamageStep::damageFor(Creature* target) const
{
    return perTarget ? targetDamage.value(target, damage) : damage;
}

void DamageStep::setup(bool fresh)
{
    if (fresh)
        rollDice();
}

void DamageStep::rollDice()
{
    targetDamage.clear();
    // Bounded, so that a mistyped text cannot roll for ages.
    static const QRegularExpression pattern("^(?:(\\d{0,3})d(\\d{1,4})([+-]\\d{1,4})?|(\\d{1,4}))$",
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(dice.trimmed());
    if (!match.hasMatch())
        return;
    if (match.hasCaptured(4)) {
        damage = match.captured(4).toInt();
        return;
    }
    const int count = match.captured(1).isEmpty() ? 1 : match.captured(1).toInt();
    int total = match.captured(3).toInt();
    for (int i = 0; i < count; i++)
        total += Global::d(match.captured(2).toInt());
    damage = qMax(0, total);
}

void DamageStep::fields(PowerFields& fields)
{
    fields.text("dice", dice);
    fields.number("damage", damage);
    fields.text("damage-type", damageType);
    fields.flag("per-target", perTarget);
}

void ConditionStep::fields(PowerFields& fields)
{
    fields.keyword("condition", condition, CE::effectToText, CE::textToEffect);
    fields.text("comment", comment);
}

void OnGoingStep::fields(PowerFields& fields)
{
    fields.number("amount", amount);
    fields.text("damage-type", damageType);
    fields.flag("prompt", prompt);
}

void BonusStep::fields(PowerFields& fields)
{
    fields.number("amount", amount);
    fields.field("attributes", attributes.getAttributes().isEmpty(), [this] { return attributes.getAttributes(); },
                 [this](const QString& text) {
                     attributes = EffectedAttr();
                     attributes.setAttributes(text);
                 });
}

void ResistanceStep::fields(PowerFields& fields)
{
    fields.number("amount", amount);
    fields.text("damage-type", damageType);
}

QString UseResourceStep::resourceToText(Resource resource)
{
    return resource >= 0 && resource < int(std::size(resourceKeywords)) ? QString(resourceKeywords[resource])
                                                                        : QString();
}

UseResourceStep::Resource UseResourceStep::textToResource(const QString& text, bool* ok)
{
    for (int i = 0; i < int(std::size(resourceKeywords)); i++) {
        if (text == QLatin1String(resourceKeywords[i])) {
            *ok = true;
            return Resource(i);
        }
    }
    *ok = false;
    return ActionPoint;
}

void UseResourceStep::fields(PowerFields& fields)
{
    fields.keyword("resource", resource, resourceToText, textToResource);
    fields.number("amount", amount, -1);
}

void EndConditionStep::fields(PowerFields& fields)
{
    fields.keyword("end-condition", endCondition, CE::endConditionToText, CE::textToEndCondition);
    fields.flag("sustainable", sustainable);
}
