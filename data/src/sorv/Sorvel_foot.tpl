<!-- end of the photo list; copied as it is, holds no tokens -->
</div>
</div>
<script src="Sorvel.js"/>
</body>
</html>
