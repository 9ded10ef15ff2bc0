// The view as the binding reads it from the browser's view resource, and as
// it reads on hosts that lack part of the view interface.
#include "host/view.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "host/bound_module.h"
#include "host/ppapi/ppb_view.h"

namespace host_test {
namespace {

void ExpectRect(const PP_Rect& rect, int32_t x, int32_t y, int32_t width, int32_t height) {
  EXPECT_EQ(rect.point.x, x);
  EXPECT_EQ(rect.point.y, y);
  EXPECT_EQ(rect.size.width, width);
  EXPECT_EQ(rect.size.height, height);
}

struct ViewCase {
  const char* fields;  // of the page's `view` line
  PP_Rect rect;
  bool visible;
  float deviceScale;
};

void PrintTo(const ViewCase& c, std::ostream* out) { *out << c.fields; }

class ViewFromBrowser : public BoundModuleTest, public ::testing::WithParamInterface<ViewCase> {};

TEST_P(ViewFromBrowser, ReadsRectVisibilityAndDeviceScale) {
  const ViewCase& c = GetParam();
  Do(std::string(R"({"op":"view","id":"a",)") + c.fields + "}");
  const pp::View& view = LastView();
  ExpectRect(view.GetRect(), c.rect.point.x, c.rect.point.y, c.rect.size.width, c.rect.size.height);
  EXPECT_EQ(view.IsVisible(), c.visible);
  EXPECT_FLOAT_EQ(view.GetDeviceScale(), c.deviceScale);
}

INSTANTIATE_TEST_SUITE_P(
    Views, ViewFromBrowser,
    ::testing::Values(ViewCase{R"("rect":[10,20,640,360])", {{10, 20}, {640, 360}}, true, 1.0f},
                      ViewCase{
                          R"("rect":[0,0,320,180],"visible":false,"scale":2.0)", {{0, 0}, {320, 180}}, false, 2.0f},
                      ViewCase{R"("rect":[-5,-7,1,1],"scale":1.5)", {{-5, -7}, {1, 1}}, true, 1.5f},
                      ViewCase{R"("rect":[0,0,0,0],"visible":true,"scale":0.75)", {{0, 0}, {0, 0}}, true, 0.75f}));

class ViewTest : public BoundModuleTest {};

TEST_F(ViewTest, AViewKeptPastTheChangeStillReadsAndIsReleasedOnce) {
  const size_t before = LiveResources();
  Do(R"({"op":"view","id":"a","rect":[0,0,64,48],"scale":2.0})");
  EXPECT_EQ(LiveResources(), before + 1);  // the browser let go; the instance keeps it
  {
    const pp::View copy = LastView();
    LastView() = pp::View();
    EXPECT_EQ(LiveResources(), before + 1);
    EXPECT_EQ(copy.GetDeviceScale(), 2.0f);
    ExpectRect(copy.GetRect(), 0, 0, 64, 48);
  }
  EXPECT_EQ(LiveResources(), before);
}

TEST_F(ViewTest, ANullViewOrAResourceThatIsNoViewReadsEmpty) {
  for (const pp::View& view : {pp::View(), pp::View(987654)}) {
    ExpectRect(view.GetRect(), 0, 0, 0, 0);
    EXPECT_FALSE(view.IsVisible());
  }
  EXPECT_EQ(pp::View().GetDeviceScale(), 1.0f);
}

// A host that offers only "PPB_View;1.0", which has no device scale.
class ViewOnAnOldHost : public BoundModuleTest {
 protected:
  ViewOnAnOldHost() : BoundModuleTest({PPB_VIEW_INTERFACE_1_2, PPB_VIEW_INTERFACE_1_1}) {}
};

TEST_F(ViewOnAnOldHost, ReadsDeviceScaleOne) {
  Do(R"({"op":"view","id":"a","rect":[1,2,30,40],"visible":false,"scale":3.0})");
  ExpectRect(LastView().GetRect(), 1, 2, 30, 40);
  EXPECT_FALSE(LastView().IsVisible());
  EXPECT_EQ(LastView().GetDeviceScale(), 1.0f);
}

class ViewWithoutTheInterface : public BoundModuleTest {
 protected:
  ViewWithoutTheInterface()
      : BoundModuleTest({PPB_VIEW_INTERFACE_1_2, PPB_VIEW_INTERFACE_1_1, PPB_VIEW_INTERFACE_1_0}) {}
};

TEST_F(ViewWithoutTheInterface, ReadsAsAZeroRectNotVisibleAtScaleOne) {
  Do(R"({"op":"view","id":"a","rect":[1,2,30,40],"scale":3.0})");
  ASSERT_FALSE(LastView().is_null());
  ExpectRect(LastView().GetRect(), 0, 0, 0, 0);
  EXPECT_FALSE(LastView().IsVisible());
  EXPECT_EQ(LastView().GetDeviceScale(), 1.0f);
}

}  // namespace
}  // namespace host_test
