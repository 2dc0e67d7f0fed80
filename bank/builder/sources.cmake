# The bank builder's files, relative to bank/: its library and the fuzz harnesses build the
# same list.
set(bank_builder_sources
    builder/bank_builder.cpp builder/bank_builder.h
    builder/bank_fairness.cpp builder/bank_fairness.h
    builder/bank_report.cpp builder/bank_report.h
    builder/bank_model.h
    builder/bank_writer.cpp builder/bank_writer.h
    builder/exam_source.cpp
    builder/diagram_renderer.cpp builder/diagram_renderer.h
    builder/dialog_renderer.cpp builder/dialog_renderer.h
    builder/exhibit_renderer.cpp builder/exhibit_renderer.h
    builder/export_moodle.cpp builder/export_moodle.h
    builder/html_text.cpp builder/html_text.h
    builder/history_responses.cpp builder/history_responses.h
    builder/item_analysis.cpp builder/item_analysis.h
    builder/items_report.cpp builder/items_report.h
    builder/read_only_database.cpp builder/read_only_database.h
    builder/response_source.h
    builder/import_aiken.cpp builder/import_aiken.h
    builder/import_gift.cpp builder/import_gift.h
    builder/import_model.cpp builder/import_model.h
    builder/import_moodle.cpp builder/import_moodle.h
    builder/source_fields.cpp builder/source_fields.h
    builder/text_input.cpp builder/text_input.h
    builder/stem_echo.cpp builder/stem_echo.h
    builder/stem_similarity.cpp builder/stem_similarity.h
)
# The check alone, which the programs link too.
set(bank_check_sources builder/bank_check.cpp builder/bank_check.h
    builder/input_file.cpp builder/input_file.h)
# The record store as a source of answers: the network, kept out of the fuzzed code.
set(bank_lrs_sources builder/lrs_responses.cpp builder/lrs_responses.h)
