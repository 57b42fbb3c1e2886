#include "mainwindow/statblocklines.h"

#include <QBoxLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHash>
#include <QLabel>

#include "foundation/global.h"
#include "mainwindow/creaturedisplay.h"
#include "mainwindow/powerlabel.h"
#include "toolkit/dynamicwidgets.h"
#include "toolkit/wrappinglayout.h"

using namespace LineCode;

namespace {

QHBoxLayout* rowLayout(QFrame* line, int spacing)
{
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

// The code of a line's frame: a portrait header's four lines pad only its top and bottom.
int frameCode(const StatLine& line, int frame)
{
    if (line.form != StatLine::PortraitHeader)
        return line.code;
    return PortraitTitle | (frame == 0 ? PadAbove : 0) | (frame == 3 ? PadBelow : 0);
}

void setStretches(QFrame* line, const QStringList& texts)
{
    auto* row = static_cast<QBoxLayout*>(line->layout());
    row->setStretch(0, Global::htmlLength(texts[0]));
    row->setStretch(1, Global::htmlLength(texts[1]));
}

}

bool StatLine::operator==(const StatLine& other) const
{
    return form == other.form && key == other.key && code == other.code && creature == other.creature
           && monster == other.monster && trap == other.trap && texts == other.texts && option == other.option
           && power == other.power && portrait.cacheKey() == other.portrait.cacheKey();
}

void StatLineList::startCreature(Creature* shown, bool keyed)
{
    creature = shown;
    prefix = keyed ? QString::number(quintptr(shown), 16) + "/" : QString();
}

void StatLineList::startPart(const QString& name)
{
    part = prefix + name + "/";
    partStart = lines.size();
}

StatLine& StatLineList::add(StatLine::Form form, int code, const QStringList& texts)
{
    StatLine line;
    line.form = form;
    line.key = part + QString::number(lines.size() - partStart);
    line.code = code;
    line.creature = creature;
    line.monster = creature->isMonster();
    line.trap = creature->isTrap();
    line.texts = texts;
    lines.append(line);
    return lines.last();
}

void StatLineList::padPart()
{
    if (partSize() == 0)
        return;
    lines[partStart].code |= PadAbove;
    lines.last().code |= PadBelow;
}

StatBlockColumn::StatBlockColumn(CreatureDisplay* display, QWidget* root) : display(display), root(root)
{
    root->setStyleSheet(LineLook::styleSheet());
    column = new QVBoxLayout(root);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    // The lines stay at the top.
    column->addStretch(2);
}

bool StatBlockColumn::show(const QList<StatLine>& lines)
{
    if (lines.size() == drawn.size()
        && std::equal(lines.begin(), lines.end(), drawn.begin(), [](const StatLine& line, const Drawn& shown) {
               return line == shown.line;
           }))
        return false;
    QHash<QString, int> byKey;
    for (int i = 0; i < drawn.size(); i++)
        byKey.insert(drawn[i].line.key, i);
    QList<bool> kept(drawn.size(), false);
    QList<Drawn> next;
    QList<QWidget*> made;
    for (const StatLine& line : lines) {
        const int old = byKey.value(line.key, -1);
        if (old >= 0 && !kept[old] && drawn[old].widget && drawn[old].line.form == line.form) {
            kept[old] = true;
            next.append(drawn[old]);
            update(next.last(), line);
        } else {
            next.append(make(line));
            made.append(next.last().widget);
        }
    }
    for (int i = 0; i < drawn.size(); i++)
        if (!kept[i] && drawn[i].widget) {
            // A click on the line may still be running.
            column->removeWidget(drawn[i].widget);
            drawn[i].widget->hide();
            drawn[i].widget->deleteLater();
        }
    drawn = next;
    for (int i = 0; i < drawn.size(); i++)
        place(drawn[i].widget, i);
    for (QWidget* widget : made)
        widget->show();
    return true;
}

void StatBlockColumn::place(QWidget* widget, int index)
{
    if (column->indexOf(widget) == index)
        return;
    column->removeWidget(widget);
    column->insertWidget(index, widget);
}

StatBlockColumn::Drawn StatBlockColumn::make(const StatLine& line) const
{
    Drawn drawn;
    drawn.line = line;
    const QStringList& texts = line.texts;
    if (line.form == StatLine::SectionTitle) {
        drawn.widget = makeSectionTitle(root, line, drawn);
        return drawn;
    }
    if (line.form == StatLine::PortraitHeader) {
        auto* container = new QWidget(root);
        container->setContentsMargins(0, 0, 0, 0);
        makePortraitHeader(container, line, drawn);
        drawn.widget = container;
        return drawn;
    }
    QFrame* frame = newFrame(root, line.code, line, drawn);
    drawn.widget = frame;
    switch (line.form) {
    case StatLine::Double: {
        // Apart even where the left text wraps up to the right one, as "Will 12" and "Perception +7".
        QHBoxLayout* row = rowLayout(frame, 8);
        row->addWidget(newLabel(frame, texts[0], line.option & StatLine::LeftWraps, drawn));
        QLabel* right = newLabel(frame, texts[1], line.option & StatLine::RightWraps, drawn);
        // Right and centred together, as the stat cards have it.
        right->setAlignment(Qt::AlignRight | Qt::AlignHCenter | Qt::AlignVCenter);
        row->addWidget(right);
        setStretches(frame, texts);
        break;
    }
    case StatLine::Alias: makeAliasLine(frame, line, drawn); break;
    case StatLine::Abilities: {
        auto* grid = new QGridLayout(frame);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setSpacing(0);
        for (int i = 0; i < texts.size(); i++)
            grid->addWidget(newLabel(frame, texts[i], false, drawn), i / 3, 2 * (i % 3));
        // The gaps between the figures give way in a narrow dock, so that no figure is cut.
        for (int gap : {1, 3})
            grid->addItem(new QSpacerItem(28, 0, QSizePolicy::Preferred, QSizePolicy::Minimum), 0, gap);
        grid->setColumnStretch(5, 2);
        break;
    }
    case StatLine::Language: {
        // The languages go under the alignment where the two do not fit side by side.
        auto* row = new WrappingLayout(WrappingLayout::OwnWidths);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(16);
        row->setRowSpacing(0);
        row->addWidget(newLabel(frame, texts[0], false, drawn));
        QLabel* languages = newLabel(frame, texts[1], true, drawn);
        languages->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        row->addWidget(languages);
        frame->setLayout(row);
        break;
    }
    case StatLine::PowerTitle: {
        auto* label = new PowerLabel(display, frame);
        label->showPower(line.creature, line.power, line.code);
        label->setText(texts[0]);
        drawn.labels.append(label);
        rowLayout(frame, 0)->addWidget(label);
        break;
    }
    case StatLine::Detail: {
        QHBoxLayout* row = rowLayout(frame, 0);
        QLabel* bullet = newLabel(frame, texts[0], true, drawn);
        bullet->setFixedWidth(15);
        bullet->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        row->addWidget(bullet);
        row->addWidget(newLabel(frame, texts[1], true, drawn));
        break;
    }
    default: rowLayout(frame, 0)->addWidget(newLabel(frame, texts[0], true, drawn));
    }
    return drawn;
}

void StatBlockColumn::update(Drawn& drawn, const StatLine& line) const
{
    const StatLine old = drawn.line;
    drawn.line = line;
    if (line.form == StatLine::Alias) {
        for (int i = 0; i < 2; i++)
            if (old.texts.mid(2 * i, 2) != line.texts.mid(2 * i, 2))
                static_cast<DynamicLabel*>(drawn.labels[i])->setTexts(line.texts[2 * i], line.texts[2 * i + 1]);
    } else {
        for (int i = 0; i < line.texts.size(); i++)
            if (old.texts.value(i) != line.texts[i])
                drawn.labels[i]->setText(line.texts[i]);
    }
    switch (line.form) {
    case StatLine::Double:
        if (old.option != line.option) {
            drawn.labels[0]->setWordWrap(line.option & StatLine::LeftWraps);
            drawn.labels[1]->setWordWrap(line.option & StatLine::RightWraps);
        }
        setStretches(drawn.frames[0], line.texts);
        break;
    case StatLine::PowerTitle:
        static_cast<PowerLabel*>(drawn.labels[0])->showPower(line.creature, line.power, line.code);
        break;
    case StatLine::PortraitHeader:
        if (old.portrait.cacheKey() != line.portrait.cacheKey())
            drawn.labels[4]->setPixmap(line.portrait);
        break;
    default: break;
    }
    if (old.code != line.code || old.monster != line.monster || old.trap != line.trap)
        for (int i = 0; i < drawn.frames.size(); i++)
            LineLook::apply(drawn.frames[i], frameCode(line, i), line.monster, line.trap);
}

QFrame* StatBlockColumn::newFrame(QWidget* parent, int code, const StatLine& line, Drawn& drawn) const
{
    auto* frame = new QFrame(parent);
    frame->setContentsMargins(0, 0, 0, 0);
    LineLook::apply(frame, code, line.monster, line.trap);
    drawn.frames.append(frame);
    return frame;
}

QLabel* StatBlockColumn::newLabel(QWidget* parent, const QString& text, bool wordWrap, Drawn& drawn) const
{
    auto* label = new MeasuredLabel(parent);
    label->setTextFormat(Qt::RichText);
    label->setContentsMargins(0, 0, 0, 0);
    label->setWordWrap(wordWrap);
    label->setText(text);
    drawn.labels.append(label);
    return label;
}

void StatBlockColumn::makeAliasLine(QFrame* frame, const StatLine& line, Drawn& drawn) const
{
    QHBoxLayout* row = rowLayout(frame, 3);
    for (int i = 0; i < 2; i++) {
        auto* label = new DynamicLabel(line.texts[2 * i], line.texts[2 * i + 1], 0, frame);
        label->setTextFormat(Qt::RichText);
        label->setContentsMargins(0, 0, 0, 0);
        label->setWordWrap(true);
        label->setSizePolicy(i == 0 ? QSizePolicy::Minimum : QSizePolicy::Expanding, QSizePolicy::Preferred);
        drawn.labels.append(label);
        row->addWidget(label);
        // Queued on the display: the alias editor runs refresh ticks that may replace this line.
        QObject::connect(label, &DynamicLabel::clicked, display, [this, frame, mark = i == 0] {
            const QPointer<Creature> creature = creatureOf(frame);
            QMetaObject::invokeMethod(
                display,
                [display = display, creature, mark] {
                    if (!creature)
                        return;
                    if (mark)
                        display->onSetUseAlias(creature);
                    else
                        display->onEditAlias(creature);
                },
                Qt::QueuedConnection);
        });
    }
}

QFrame* StatBlockColumn::makeSectionTitle(QWidget* parent, const StatLine& line, Drawn& drawn) const
{
    auto* frame = new DynamicFrame(nullptr, line.option, parent);
    frame->setContentsMargins(0, 0, 0, 0);
    LineLook::apply(frame, line.code, line.monster, line.trap);
    drawn.frames.append(frame);
    auto* title = new QLabel(line.texts[0], frame);
    title->setContentsMargins(0, 0, 0, 0);
    title->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    // Style sheets ignore font-variant.
    QFont font = title->font();
    font.setCapitalization(QFont::SmallCaps);
    title->setFont(font);
    auto* arrow = new QLabel(line.texts[1], frame);
    arrow->setContentsMargins(0, 0, 0, 0);
    arrow->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    arrow->hide();
    frame->setHoverChild(arrow);
    drawn.labels << title << arrow;
    QHBoxLayout* row = rowLayout(frame, 3);
    row->addWidget(title);
    row->addWidget(arrow);
    QObject::connect(frame, &DynamicFrame::clicked, display, [this, frame](int section) {
        if (const QPointer<Creature> creature = creatureOf(frame))
            display->onSectionClicked(creature, section);
    });
    return frame;
}

void StatBlockColumn::makePortraitHeader(QWidget* container, const StatLine& line, Drawn& drawn) const
{
    auto* grid = new QGridLayout(container);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    for (int i = 0; i < 4; i++) {
        QFrame* frame = newFrame(container, frameCode(line, i), line, drawn);
        rowLayout(frame, 0)->addWidget(newLabel(frame, line.texts[i], true, drawn));
        grid->addWidget(frame, i, 0);
    }
    grid->setColumnStretch(0, 10);
    auto* picture = new QLabel(container);
    picture->setPixmap(line.portrait);
    picture->setScaledContents(true);
    picture->setFixedSize(64, 64);
    drawn.labels.append(picture);
    grid->addWidget(picture, 0, 1, 4, 1);
}

QPointer<Creature> StatBlockColumn::creatureOf(const QWidget* line) const
{
    for (const Drawn& shown : drawn)
        if (shown.widget == line)
            return shown.line.creature;
    return nullptr;
}
