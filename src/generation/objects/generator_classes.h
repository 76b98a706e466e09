// The automation classes of playlist generation, for the class table.
#ifndef TAVO_GENERATION_OBJECTS_GENERATOR_CLASSES_H_
#define TAVO_GENERATION_OBJECTS_GENERATOR_CLASSES_H_

#include "generation/objects/pl_gen_criteria.h"
#include "generation/objects/pl_gen_criteria_list.h"
#include "generation/objects/pl_gen_limit.h"
#include "generation/objects/pl_gen_limit_list.h"
#include "generation/objects/pl_gen_rank.h"
#include "generation/objects/pl_generator.h"
#include "generation/objects/pl_generator_list.h"
#include "generation/objects/pl2_criteria.h"
#include "generation/objects/pl2_result.h"
#include "generation/objects/pl2_result_list.h"

#endif  // TAVO_GENERATION_OBJECTS_GENERATOR_CLASSES_H_
