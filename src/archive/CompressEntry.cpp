#include "archive/Deflate.h"

std::uint32_t compress_entry(TState& state, const TEntrySetup& setup) {
  state.param = setup.param;
  state.level = setup.level;
  state.read_fn = setup.read_fn;
  state.flush_fn = setup.flush_fn;
  state.error = nullptr;
  bits_start(state, setup.output, setup.output_size);
  ct_init(state, setup.internal_attributes);
  match_init(state, setup.level, setup.flags);
  return deflate_entry(state);
}
