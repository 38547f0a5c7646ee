select a.X, b.Y as Z, "E-MAIL" from T a join U b on a.ID = b.ID where a.X = :X and b.Y = :"quoted name" -- :notme
