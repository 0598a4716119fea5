#pragma once

// The options dialog's figure: one whole PreviewIt call.
void registerOptionsBenchmarks();
