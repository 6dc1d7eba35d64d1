#pragma once

namespace store {

// The two collections a question can belong to: `scbt` (favourites) and `ct`
// (the wrong-question bank). Chapters carry the same two flags, derived.
enum class CollectionFlag { Favourite, Wrong };

} // namespace store
