#include "viewer/shell/state.h"

namespace viewer {

ViewerState& state() {
    static ViewerState s;
    return s;
}

}  // namespace viewer
