# What scripts/architecture-diagram.sh draws: the program's own libraries and programs, not
# the outside libraries, tests, benchmarks, fuzz targets or tools.
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS "^tst_" "^velmorin_bench" "^velmorin-render" "^velmorin-startup"
    "^velmorin-sample" "^velmorin_test" "^velmorin_reference" "^velmorin_team_lists"
    "^velmorin_warnings$" "^velmorin_version$" "^fuzz_" "_autogen" "^velmorin_icons"
    "^velmorin_cli_test" "^velmorin_test_support$" "_resources_" "^velmorin_calc_run$" "^velmorin_cup_simulation$")
