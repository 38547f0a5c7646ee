with c as (select 1 as one) select * from c, (select 2) s /* :x */
