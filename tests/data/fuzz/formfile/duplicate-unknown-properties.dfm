object V Blob={}Real=[]Blob={}Real=n
end