#ifndef CREATEPOWERDIALOG_H
#define CREATEPOWERDIALOG_H

#include <QDialog>

#include "foundation/dogtag.h"
#include "powers/power.h"
#include "toolkit/windowsanddialogs.h"

class Creature;
class DisableComboBox;
class QLineEdit;
class QPlainTextEdit;

// The header of a power of a template, or of a shared action: created from
// nothing or from a base, duplicated under a free name, or edited. It
// stores nothing; the caller stores a copy of getPower().
class CreatePowerDialog : public QDialog, public WindowsAndDialogs
{
    Q_OBJECT

public:
    CreatePowerDialog(Creature* creatureTemplate, QString name, CreaturePower* base, Power::StepType stepType,
        bool isAction, bool isNew);

    // The controls' values in the working power; owned by the dialog.
    CreaturePower* getPower();
    // The power of the template, or the action, of exactly that name.
    CreaturePower* findPower(const QString& name) const;

    QLineEdit* getNameEdit() const { return nameEdit; }
    QLineEdit* getHeaderEdit() const { return headerEdit; }
    QPlainTextEdit* getFlavorEdit() const { return flavorEdit; }
    QPlainTextEdit* getDescriptionEdit() const { return descriptionEdit; }
    DisableComboBox* getTypeBox() const { return typeBox; }
    DisableComboBox* getFrequencyBox() const { return frequencyBox; }
    DisableComboBox* getActionBox() const { return actionBox; }
    // The kind, least and greatest count boxes of the Hit/Miss (Hit) or Effect group.
    DisableComboBox* getApplyToBox(Power::StepType type) const;
    DisableComboBox* getFromCountBox(Power::StepType type) const;
    DisableComboBox* getToCountBox(Power::StepType type) const;

private slots:
    void okClicked();
    void applyToChanged();

private:
    // The kind and count boxes of one targets row.
    struct ApplyToGroup
    {
        Power::StepType type;
        DisableComboBox* kind;
        DisableComboBox* from;
        DisableComboBox* to;
        // The user chose in this row: only then are its boxes written back.
        bool picked;
    };

    void setupLayout(const QString& groupTitle);
    void enableCustomControls();
    void updateApplyTo(bool fromPower);
    void updateGroup(ApplyToGroup& group, bool fromPower);
    void readGroup(const ApplyToGroup& group);
    ApplyToGroup& group(Power::StepType type);
    const ApplyToGroup& group(Power::StepType type) const;
    QString proposeName(const QString& name) const;
    QString typedName() const;

    Creature* creatureTemplate;
    bool isAction;
    Power::StepType stepType;
    QString openingName;
    bool isNew;
    CreaturePower power;

    QLineEdit* nameEdit = nullptr;
    QLineEdit* headerEdit = nullptr;
    QPlainTextEdit* flavorEdit = nullptr;
    QPlainTextEdit* descriptionEdit = nullptr;
    DisableComboBox* typeBox = nullptr;
    DisableComboBox* frequencyBox = nullptr;
    DisableComboBox* actionBox = nullptr;
    ApplyToGroup hitGroup{Power::Hit, nullptr, nullptr, nullptr, false};
    ApplyToGroup effectGroup{Power::Effect, nullptr, nullptr, nullptr, false};
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
