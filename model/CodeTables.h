// Translation between the program's codes (button ids, assignment types, macro mouse events) and the
// middleware's (button mask bits, button ids of assignment records, record kinds, raw-input mouse
// bits). One program-wide object holds the tables; the device objects fill it once with
// FillCodeTables before their first use.
#pragma once

#include <cstdint>
#include <map>

#include "core/ModelRecords.h"
#include "mwapi/HvMwApi.h"

// Model mouse-button states of a macro event (MacroEvent::extra).
struct MouseButtonEvent
{
    int32_t button;   // 1 left, 2 right, 3 middle, 4, 5
    int32_t state;    // kKeyStatePressed (255) down, kKeyStateReleased (1) up
};

class CodeTranslationTables
{
public:
    // Fills the four tables; a second call returns at once.
    void Fill();
    bool IsFilled() const { return m_filled != 0; }

    // Program button id -> middleware mask bit / middleware button id; 0 when the id has none.
    uint32_t ButtonMaskBit(int32_t button) const;
    uint32_t MiddlewareButtonId(int32_t button) const;
    // The reverse look-ups walk the program ids upwards and take the first match; 0 when none.
    int32_t ButtonFromMaskBit(uint32_t bit) const;
    int32_t ButtonFromMiddlewareId(uint32_t id) const;

    // Raw-input mouse bit of a macro event <-> model button and state.
    bool MouseEventFromBit(uint32_t bit, MouseButtonEvent& event) const;
    uint32_t BitFromMouseEvent(int32_t button, int32_t state) const;   // 0 when none

    // The template record of an assignment type; false when the type has none.
    bool GetTemplate(int32_t type, AssignmentRecord& record) const;
    // The first type, in ascending order, whose template the record matches; -1 when none. A
    // macro-with-repeat record reads as 6, a profile-by-GUID record as 22, a DPI stage record as 16.
    int32_t TypeOfRecord(const AssignmentRecord& record) const;

    // Builds the record of an action: its type's template, the id word, then the payload. False
    // (record untouched) when the type has no template.
    bool FillRecord(const AssignmentAction& action, uint32_t idWord, AssignmentRecord& record) const;
    // The action a record stands for; type -1 for a record no template matches.
    AssignmentAction ReadRecord(const AssignmentRecord& record) const;

private:
    std::map<int32_t, uint32_t> m_buttonMask;
    std::map<int32_t, uint32_t> m_buttonId;
    std::map<int32_t, AssignmentRecord> m_templates;
    std::map<uint32_t, MouseButtonEvent> m_mouseBits;
    uint8_t m_filled = 0;
};

// The program-wide tables: made empty at start, freed at exit, filled by the first device.
void ConstructCodeTables();
void DestroyCodeTables();
// Constructs the object when it does not exist yet, then fills it.
void FillCodeTables();
// The program-wide object; null before ConstructCodeTables and after DestroyCodeTables.
CodeTranslationTables* CodeTables();

// Polling rate: configuration index 0, 1, 2 (125, 500, 1000 Hz) <-> middleware code 8, 2, 1. -1
// for a value the other side does not know.
int32_t PollingRateCodeFromIndex(int32_t index);
int32_t PollingRateIndexFromCode(int32_t code);

// LED id 1 to 11 -> light index of a profile (id - 1); -1 for any other id.
int LedIndexFromId(int id);
// The middleware's LED id of a light index (index + 1); -1 outside 0 to 10.
int LedIdFromIndex(int index);

// Lighting effects 1 to 5 pass; anything else becomes 0. Both directions.
int32_t NormalizeLightingEffect(int32_t effect);

// Key flag byte (KeyFlag bits) <-> the modifier bits of a single-key record (hvmw::kMod*).
uint32_t ModifiersFromKeyFlags(uint8_t flags);
uint8_t KeyFlagsFromModifiers(uint32_t modifiers);

// Play mode of a macro action <-> repeat mode of a macro-with-repeat record (3 and 4 swap);
// anything else becomes 0.
uint8_t RepeatModeFromPlayMode(int32_t playMode);
int32_t PlayModeFromRepeatMode(uint8_t repeatMode);
