<!-- end of the photo list; copied as it is, holds no tokens -->
</ol>
</div>
<script src="Sorvel.js"/>
</body>
</html>
