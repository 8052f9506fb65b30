// The read-failure walks of DevicesReadTest.cpp with a middleware that ends its lists with
// E_INVALIDARG: the interface names no code for the end of a list, so any failure of an indexed call
// ends it, and every other failed call still fails the read.
#include "FaultWalks.h"

using namespace devtest;

namespace {

class DevicesListEnd : public CReadFaultsTest
{
};

} // namespace

TEST_F(DevicesListEnd, EachCallOfAMouseReadFailedInTurn)
{
    SetListEnd(E_INVALIDARG);
    FailEachCallOfInit<CMouseKind>();
    FailEachCallOfRead<CMouseKind>();
}

TEST_F(DevicesListEnd, EachCallOfAKeyboardReadFailedInTurn)
{
    SetListEnd(E_INVALIDARG);
    FailEachCallOfInit<CKeyboardKind>();
    FailEachCallOfRead<CKeyboardKind>();
}
