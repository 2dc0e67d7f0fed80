# The engine layer's files, relative to this folder: its library and the fuzz harnesses
# build the same list.
set(examdb_sources
    connect_string.cpp connect_string.h
    connection.cpp connection.h
    database.cpp database.h
    dialect.cpp dialect.h
    error.cpp error.h
    field_lookup.cpp field_lookup.h
    journal.cpp journal.h
    query_shape.cpp query_shape.h
    record_source.cpp record_source.h
    recordset.cpp recordset.h
    row_store.cpp row_store.h
    row_writer.cpp row_writer.h
    schema_check.cpp schema_check.h
    sql_lexer.cpp sql_lexer.h
    sqlite_handles.h
    statement.cpp statement.h
    statements.cpp statements.h
    transaction.cpp transaction.h
)
