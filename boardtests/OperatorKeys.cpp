#include "boardtests/OperatorKeys.h"

#include "app/UnitTest.h"

std::optional<int> leavingAnswer(int key)
{
    switch (key) {
    case 'd': return Debug;
    case 'm': return Menu;
    case 'q': return Quit;
    default: return std::nullopt;
    }
}

std::optional<int> leavingAnswerAfterFailure(int key)
{
    if (key == 'n')
        return Next;
    return leavingAnswer(key);
}
