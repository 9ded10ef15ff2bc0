#include "devhost/gl/answered_context.h"

namespace pphost {

void AnsweredContext::Lose() {
  if (lost_) return;
  lost_ = true;
  RaiseError(kGlContextLost);
}

bool AnsweredContext::StageSwap() {
  if (lost_) return false;
  staged_ = Size{Attributes().width, Attributes().height};
  return true;
}

}  // namespace pphost
