insert into T (A) values ('it''s :not a marker', &Macro, :A::int)
