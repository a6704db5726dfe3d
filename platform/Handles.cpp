// The live counters of the handle owners, one per kind.
#include "platform/Handles.h"

namespace platform {

#define PELICAN_COUNTER(Name)            \
    HandleCounter& Name::Counter() {     \
        static HandleCounter counter;    \
        return counter;                  \
    }
PELICAN_COUNTER(KernelTraits)
PELICAN_COUNTER(FileTraits)
PELICAN_COUNTER(LibraryTraits)
PELICAN_COUNTER(BitmapTraits)
PELICAN_COUNTER(RegionTraits)
PELICAN_COUNTER(FontTraits)
PELICAN_COUNTER(BrushTraits)
PELICAN_COUNTER(PenTraits)
PELICAN_COUNTER(MemoryDcTraits)
PELICAN_COUNTER(IconTraits)
PELICAN_COUNTER(CursorTraits)
PELICAN_COUNTER(MenuTraits)
PELICAN_COUNTER(WindowDC)
#undef PELICAN_COUNTER

}  // namespace platform
