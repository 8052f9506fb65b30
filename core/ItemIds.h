// The item ids the configuration program looks its items up by: one enumerator for each row of the
// item id table, whose names the layouts use and the name tables resolve.
#pragma once

#include <cstdint>

enum VxItemId : int32_t
{
#define HV_ITEM_ID(name, id) name = id,
#include "core/ItemIds.inc"
#undef HV_ITEM_ID
};
