#include "platform/MessageMap.h"

namespace {

bool Matches(const MsgMapEntry& e, MapEntryKind kind, UINT value, UINT id)
{
    if (e.kind != kind)
        return false;
    switch (kind) {
    case MapEntryKind::Message:
        if (e.registered)
            return *e.registered != 0 && *e.registered == value;
        return value >= e.first && value <= e.last;
    case MapEntryKind::ReflectMessage:
        return value >= e.first && value <= e.last;
    case MapEntryKind::Command:
    case MapEntryKind::Notify:
        return e.code == value && id >= e.first && id <= e.last;
    case MapEntryKind::ReflectCommand:
    case MapEntryKind::ReflectNotify:
        return e.code == value;
    case MapEntryKind::End:
        break;
    }
    return false;
}

} // namespace

const MsgMapEntry* FindMsgMapEntry(const CMessageMap* map, MapEntryKind kind, UINT value, UINT id)
{
    for (; map; map = map->base ? map->base() : nullptr) {
        for (const MsgMapEntry* e = map->entries; e->kind != MapEntryKind::End; ++e) {
            if (Matches(*e, kind, value, id))
                return e;
        }
    }
    return nullptr;
}
