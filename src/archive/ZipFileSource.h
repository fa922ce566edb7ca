// A source file as one of the pipeline's reader threads reads it: opened,
// described and read exactly as zip_add_file opens, describes and reads its
// source (the same sharing, the same facts, the same reads through the file
// layer that tests replace, the same account of a failure), so that an
// entry prepared on another thread is the entry zip_add_file writes.
#pragma once

#include <memory>

#include "archive/EntryPipeline.h"

// The open file, or null with failure set to what zip_add_file answers.
std::unique_ptr<archive::TPipelineSource> zip_open_pipeline_source(
    const wchar_t* path, ZipSourceFacts& facts, archive::TSourceFailure& failure);
