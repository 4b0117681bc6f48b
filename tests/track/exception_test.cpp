#include <gtest/gtest.h>

#include "track/zavro_exception.h"

namespace {

TEST(ZAVROException, CarriesItsMessageThroughAThrowByValue) {
    try {
        throw ZAVROException("monza.trk ; Unknown section type with value 7");
    } catch (const Exception& e) {
        EXPECT_EQ(e.GetMessage(), "monza.trk ; Unknown section type with value 7");
    }
    EXPECT_EQ(ZAVROException("").GetMessage(), "");
}

TEST(ZAVROException, AssignmentReplacesTheMessageAndSelfAssignmentKeepsIt) {
    ZAVROException e("old");
    e.SetMessage("new text");
    EXPECT_EQ(e.GetMessage(), "new text");
    e.SetMessage(e.GetMessage());
    EXPECT_EQ(e.GetMessage(), "new text");
    ZAVROException copy(e);
    e.SetMessage("changed");
    EXPECT_EQ(copy.GetMessage(), "new text");
}

}  // namespace
