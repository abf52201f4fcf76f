// Event records and the segmented event store.
#include "catalog/store.h"

namespace tw {

Store st;

} // namespace tw
